#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tenso {

// A folder that cannot be opened, listed or entered; error is the errno value.
struct FolderError : std::exception {
    FolderError(std::string p, int e)
        : path(std::move(p))
        , error(e)
    { }
    const char* what() const noexcept override { return "folder cannot be read"; }
    std::string path;
    int error;
};

// The names in one folder, each list sorted without regard to case (ties by bytes).
struct FolderListing {
    std::vector<std::string> folders;  // subfolders, hidden ones (".name") left out
    std::vector<std::string> files;  // regular files, hidden ones included
};

// Lists a folder, following symbolic links. A folder is readable when it can be listed and entered;
// otherwise this throws FolderError, before the caller has changed anything.
FolderListing ReadFolder(const std::string& folder);

// Folder paths are absolute, normalised, and end with '/' only for the root. ResolveFolder takes a
// typed folder ("sub/", "../x", "/data/") relative to base; "." and ".." are resolved by name.
std::string ResolveFolder(const std::string& base, std::string_view typed);
bool IsFolder(const std::string& path);

// The full path of a file in a folder: no second separator after a folder that ends with one.
std::string JoinPath(std::string_view folder, std::string_view name);

// The existence test of the file-name field: the first regular file that matches the name or
// pattern of the text (its part after the last '/') in the folder that the text names, relative
// to base. A folder that does not exist gives no file; one that cannot be read throws FolderError;
// a name longer than the system allows throws std::system_error.
std::optional<std::string> FindFirstFile(std::string_view text, const std::string& base);

// The process's current folder; empty when the system cannot tell (it was deleted).
std::string CurrentFolder();
// Makes the folder the process's current folder; throws FolderError.
void ChangeFolder(const std::string& folder);

// The system's description of an errno value.
std::string SystemErrorText(int error);

}  // namespace tenso
