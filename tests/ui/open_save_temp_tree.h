#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tenso::test {

// A fresh temporary folder that becomes the process's current folder; on destruction the previous
// current folder comes back and the folder goes away. Paths are physical (no symbolic links), as
// the system reports the current folder.
class TempTree {
public:
    TempTree()
        : previous_(std::filesystem::current_path())
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tenso-dialog-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        root_ = std::filesystem::canonical(pattern).string();
        std::filesystem::current_path(root_);
    }
    ~TempTree()
    {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root_, ec))
            std::filesystem::permissions(
                entry.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(root_, ec);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& root() const { return root_; }
    std::string path(std::string_view relative) const { return root_ + "/" + std::string(relative); }

    std::string file(std::string_view relative, std::string_view content = "")
    {
        const std::string p = path(relative);
        std::filesystem::create_directories(std::filesystem::path(p).parent_path());
        std::ofstream(p, std::ios::binary) << content;
        return p;
    }
    std::string folder(std::string_view relative)
    {
        const std::string p = path(relative);
        std::filesystem::create_directories(p);
        return p;
    }

private:
    std::filesystem::path previous_;
    std::string root_;
};

}  // namespace tenso::test
