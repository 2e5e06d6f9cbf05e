#include "open_save_folders.h"
#include "open_save_pattern.h"
#include "open_save_volumes.h"

#include <gtest/gtest.h>

namespace tenso {
namespace {

using Names = std::vector<std::string>;

TEST(MatchesPattern, WildcardsCaseAndParts)
{
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"a.dat", "*.dat", true},
        {"A.DAT", "*.dat", true},
        {"steel.Dat", "*.DAT", true},
        {"a.dat.bak", "*.dat", false},
        {"adat", "*.dat", false},
        {"x.csv", "*.dat;*.csv", true},
        {"x.csv", "*.dat ; *.csv ", true},
        {"x.txt", "*.dat;*.csv", false},
        {"a.dat", "?.dat", true},
        {"ab.dat", "?.dat", false},
        {".hidden.dat", "*.dat", false},
        {".hidden.dat", ".*", true},
        {"README", "*.*", true},
        {"README", "*", true},
        {"b.dat", "B.DAT", true},
        {"b.dat", "", false},
        {"b.dat", ";", false},
        {"aXbXc", "a*b*c", true},
        {"aXbXd", "a*b*c", false},
        {"abc", "a**c", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
    EXPECT_TRUE(HasWildcards("*.dat"));
    EXPECT_TRUE(HasWildcards("a?.dat"));
    EXPECT_FALSE(HasWildcards("sub/a.dat"));
}

TEST(ParseMountedVolumes, DisksAndRemovableMediaWithTheRootFirst)
{
    const char* mounts = "sysfs /sys sysfs rw,nosuid 0 0\n"
                         "proc /proc proc rw 0 0\n"
                         "/dev/nvme0n1p2 / ext4 rw,relatime 0 0\n"
                         "/dev/nvme0n1p1 /boot/efi vfat rw 0 0\n"
                         "tmpfs /run tmpfs rw 0 0\n"
                         "/dev/sdb1 /run/media/anna/USB\\040STICK vfat rw 0 0\n"
                         "/dev/nvme0n1p3 /home ext4 rw 0 0\n"
                         "/dev/sr0 /media/cdrom iso9660 ro 0 0\n"
                         "tmpfs /tmp tmpfs rw 0 0\n"
                         "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
                         "overlay /var/lib/docker/overlay2/x/merged overlay rw 0 0\n"
                         "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
                         "/dev/sdc1 /mnt/data ext4 rw 0 0\n"
                         "nas:/export /mnt/nas nfs4 rw 0 0\n"
                         "/dev/nvme0n1p3 /home ext4 rw 0 0\n"
                         "broken line\n";
    EXPECT_EQ(ParseMountedVolumes(mounts),
        (Names {"/", "/home", "/media/cdrom", "/mnt/data", "/mnt/nas", "/run/media/anna/USB STICK"}));
    EXPECT_EQ(ParseMountedVolumes(""), (Names {"/"}));
    EXPECT_EQ(MountedVolumes().front(), "/");
}

TEST(VolumeOf, TheLongestVolumeHoldingTheFolder)
{
    const Names volumes {"/", "/home", "/home/anna/usb"};
    EXPECT_EQ(VolumeOf("/home/anna", volumes), "/home");
    EXPECT_EQ(VolumeOf("/home", volumes), "/home");
    EXPECT_EQ(VolumeOf("/home/anna/usb/data", volumes), "/home/anna/usb");
    EXPECT_EQ(VolumeOf("/homework", volumes), "/");
    EXPECT_EQ(VolumeOf("/", volumes), "/");
}

TEST(JoinPath, NoSecondSeparatorAfterTheRoot)
{
    EXPECT_EQ(JoinPath("/", "a.dat"), "/a.dat");
    EXPECT_EQ(JoinPath("/data", "a.dat"), "/data/a.dat");
    EXPECT_EQ(JoinPath("/data/", "a.dat"), "/data/a.dat");
}

TEST(ResolveFolder, RelativeToTheListedFolder)
{
    EXPECT_EQ(ResolveFolder("/a/b", "../c/"), "/a/c");
    EXPECT_EQ(ResolveFolder("/a/b", "sub"), "/a/b/sub");
    EXPECT_EQ(ResolveFolder("/a/b", "./"), "/a/b");
    EXPECT_EQ(ResolveFolder("/a", "/"), "/");
    EXPECT_EQ(ResolveFolder("/a", "/.."), "/");
    EXPECT_EQ(ResolveFolder("/", ".."), "/");
    EXPECT_EQ(ResolveFolder("/a", "/x//y/"), "/x/y");
}

}  // namespace
}  // namespace tenso
