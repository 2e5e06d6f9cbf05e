#pragma once

#include <string>
#include <string_view>

namespace tenso::test {

// A file with the given bytes in a fresh temporary folder; both go away with the object.
class TempFile {
public:
    explicit TempFile(std::string_view content, std::string_view name = "data.dat");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }
    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
    std::string path_;
};

// Path of a file below tests/data.
std::string DataPath(std::string_view relative);

}  // namespace tenso::test
