#include "open_save_folders.h"

#include <climits>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>

#include "open_save_pattern.h"

namespace tenso {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool byName(const std::string& a, const std::string& b)
{
    const auto lessNoCase = [](char x, char y) { return lower(x) < lower(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lessNoCase))
        return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), lessNoCase))
        return false;
    return a < b;
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

}  // namespace

FolderListing ReadFolder(const std::string& folder)
{
    if (::access(folder.c_str(), R_OK | X_OK) != 0)
        throw FolderError(folder, errno);
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        throw FolderError(folder, errno);
    FolderListing listing;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st { };
        if (::fstatat(::dirfd(dir.get()), entry->d_name, &st, 0) != 0)
            continue;  // a dangling link or an entry removed meanwhile
        if (S_ISDIR(st.st_mode)) {
            if (name.front() != '.')
                listing.folders.push_back(name);
        } else if (S_ISREG(st.st_mode)) {
            listing.files.push_back(name);
        }
        errno = 0;
    }
    if (errno != 0)
        throw FolderError(folder, errno);
    std::sort(listing.folders.begin(), listing.folders.end(), byName);
    std::sort(listing.files.begin(), listing.files.end(), byName);
    return listing;
}

std::string ResolveFolder(const std::string& base, std::string_view typed)
{
    std::filesystem::path p(typed);
    if (!p.is_absolute())
        p = std::filesystem::path(base) / p;
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s.empty() ? "/" : s;
}

bool IsFolder(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

std::optional<std::string> FindFirstFile(std::string_view text, const std::string& base)
{
    const size_t slash = text.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? text : text.substr(slash + 1);
    const std::string folder
        = slash == std::string_view::npos ? base : ResolveFolder(base, text.substr(0, slash + 1));
    if (name.size() > NAME_MAX)
        throw std::system_error(ENAMETOOLONG, std::generic_category());
    struct stat st { };
    if (::stat(folder.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return std::nullopt;
        throw FolderError(folder, errno);
    }
    if (!S_ISDIR(st.st_mode) || name.empty())
        return std::nullopt;
    for (const std::string& file : ReadFolder(folder).files)
        if (MatchesPattern(file, name))
            return JoinPath(folder, file);
    return std::nullopt;
}

std::string CurrentFolder()
{
    std::error_code ec;
    const auto p = std::filesystem::current_path(ec);
    return ec ? std::string() : p.string();
}

void ChangeFolder(const std::string& folder)
{
    if (::chdir(folder.c_str()) != 0)
        throw FolderError(folder, errno);
}

std::string SystemErrorText(int error) { return std::generic_category().message(error); }

}  // namespace tenso
