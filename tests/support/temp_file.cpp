#include "temp_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace tenso::test {

TempFile::TempFile(std::string_view content, std::string_view name)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tenso-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
    path_ = folder_ + "/" + std::string(name);
    std::ofstream out(path_, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

TempFile::~TempFile()
{
    std::error_code ec;
    std::filesystem::permissions(
        folder_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(folder_, ec);
}

std::string DataPath(std::string_view relative)
{
    return std::string(TENSO_TEST_DATA) + "/" + std::string(relative);
}

}  // namespace tenso::test
