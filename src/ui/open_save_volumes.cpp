#include "open_save_volumes.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace tenso {
namespace {

// File systems that hold a user's files: disks, removable media, network shares.
constexpr std::string_view diskFileSystems
    = " ext2 ext3 ext4 xfs btrfs f2fs jfs reiserfs nilfs2 bcachefs zfs vfat "
      "msdos exfat ntfs ntfs3 fuseblk hfs hfsplus iso9660 udf nfs nfs4 cifs smb3 ";

bool isDiskFileSystem(const std::string& type)
{
    return !type.empty() && diskFileSystems.find(" " + type + " ") != std::string_view::npos;
}

bool startsWithFolder(std::string_view path, std::string_view folder)
{
    if (folder == "/")
        return !path.empty() && path.front() == '/';
    return path.substr(0, folder.size()) == folder
        && (path.size() == folder.size() || path[folder.size()] == '/');
}

bool isSystemPlace(std::string_view mountPoint)
{
    if (startsWithFolder(mountPoint, "/run/media"))
        return false;
    constexpr std::string_view places[] = {"/proc", "/sys", "/dev", "/run", "/snap", "/boot"};
    return std::ranges::any_of(
        places, [&](std::string_view place) { return startsWithFolder(mountPoint, place); });
}

// The mounts file writes a blank, tab, newline and backslash in a name as \040, \011, \012, \134.
std::string unescaped(std::string_view field)
{
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view digits = field.substr(i + 1, 3);
            if (std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                out += static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

}  // namespace

std::vector<std::string> ParseMountedVolumes(std::string_view mountsText)
{
    std::vector<std::string> found;
    std::istringstream lines {std::string(mountsText)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device;
        std::string mountPoint;
        std::string type;
        if (!(fields >> device >> mountPoint >> type))
            continue;
        mountPoint = unescaped(mountPoint);
        if (mountPoint == "/" || mountPoint.empty() || mountPoint.front() != '/')
            continue;
        if (!isDiskFileSystem(type) || isSystemPlace(mountPoint))
            continue;
        found.push_back(mountPoint);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    found.insert(found.begin(), "/");
    return found;
}

std::vector<std::string> MountedVolumes()
{
    std::ifstream in("/proc/self/mounts");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> volumes = ParseMountedVolumes(text);
    // Files bind-mounted into containers (/etc/hosts) are no volumes.
    std::error_code ec;
    std::erase_if(
        volumes, [&](const std::string& v) { return v != "/" && !std::filesystem::is_directory(v, ec); });
    return volumes;
}

std::string VolumeOf(std::string_view folder, const std::vector<std::string>& volumes)
{
    std::string best = "/";
    for (const std::string& v : volumes)
        if (v.size() > best.size() && startsWithFolder(folder, v))
            best = v;
    return best;
}

}  // namespace tenso
