#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tenso {

// The volumes of the drive list, from the text of /proc/self/mounts: "/" first, then the mount
// points of disk, removable-media and network file systems, sorted. Pseudo file systems (proc,
// sysfs, tmpfs, cgroup, overlay, squashfs and the like) and mount points below /proc, /sys, /dev,
// /run (but /run/media, where removable media appear), /snap and /boot are left out; a mount point
// listed twice appears once. Escapes of the mounts file ("\040" for a blank) are undone.
std::vector<std::string> ParseMountedVolumes(std::string_view mountsText);

// The volumes of this system now: ParseMountedVolumes of /proc/self/mounts, keeping only mount
// points that are folders ("/" always).
std::vector<std::string> MountedVolumes();

// The volume that holds the folder: the longest of the volumes that is the folder itself or one
// of its parents, or "/" when none is.
std::string VolumeOf(std::string_view folder, const std::vector<std::string>& volumes);

}  // namespace tenso
