#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tolvenmark {

// The machine's optical drives as drive roots in device order, read from
// sysRoot + "/class/block/sr*": srN is drive letter D + N ("D:\", "E:\", ...),
// up to Z. A missing or unreadable folder gives none.
std::vector<std::string> OpticalDriveRoots(const std::string& sysRoot = "/sys");

// The block device behind a drive letter ("E" or "E:\" -> "sr1"), "" when the
// letter names no optical drive.
std::string OpticalDriveDevice(const std::string& drive, const std::string& sysRoot = "/sys");

// The mount point of /dev/<device> in a mounts table (/proc/mounts form, octal
// escapes undone), "" when it is not mounted.
std::string MountPointIn(std::string_view table, const std::string& device);

// Where a "X:\dir\file" path of an optical drive lives: the drive's mount
// point (from a mounts table in /proc/mounts form) joined with the rest, "\"
// turned into "/". A path of no mounted optical drive comes back unchanged.
std::string ResolveDrivePath(const std::string& path, const std::string& sysRoot = "/sys",
                             const std::string& mountsFile = "/proc/mounts");

}  // namespace tolvenmark
