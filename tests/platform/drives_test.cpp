#include "platform/drives.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::TempDir;
using testing::WriteFileBytes;
namespace fs = std::filesystem;

// A /sys tree whose class/block entries link to device folders, as the kernel's do.
void AddBlockDevice(const std::string& sysRoot, const std::string& name) {
    const fs::path device = fs::path(sysRoot) / "devices/pci0000:00/ata1/block" / name;
    fs::create_directories(device);
    fs::create_directories(fs::path(sysRoot) / "class/block");
    fs::create_symlink(device, fs::path(sysRoot) / "class/block" / name);
}

struct DriveCase {
    std::vector<std::string> devices;
    std::vector<std::string> roots;
    const char* proves;
};

void PrintTo(const DriveCase& c, std::ostream* os) { *os << c.proves; }

class OpticalDriveRootsTest : public ::testing::TestWithParam<DriveCase> {};

TEST_P(OpticalDriveRootsTest, ListsOpticalDrivesInDeviceOrder) {
    SCOPED_TRACE(GetParam().proves);
    TempDir sys;
    for (const std::string& name : GetParam().devices) AddBlockDevice(sys.path(), name);
    EXPECT_EQ(OpticalDriveRoots(sys.path()), GetParam().roots);
}

INSTANTIATE_TEST_SUITE_P(
    Trees, OpticalDriveRootsTest,
    ::testing::Values(
        DriveCase{{}, {}, "no block devices at all"},
        DriveCase{{"sda", "sda1", "nvme0n1", "loop0"}, {}, "disks are not optical drives"},
        DriveCase{{"sda", "sr0"}, {"D:\\"}, "one drive"},
        DriveCase{{"sr1"}, {"E:\\"}, "a drive keeps its letter when sr0 is gone"},
        DriveCase{{"sr10", "sr2", "sr0"}, {"D:\\", "F:\\", "N:\\"}, "numeric, not alphabetical, order"},
        DriveCase{{"sr22", "sr23", "sr01", "srx"}, {"Z:\\"}, "no letter past Z, odd names skipped"}));

TEST(OpticalDriveRoots, MissingSysFolderGivesNone) {
    EXPECT_TRUE(OpticalDriveRoots("/nonexistent/sys").empty());
}

TEST(ResolveDrivePath, DiscPathLeadsToTheDrivesMountPoint) {
    TempDir sys;
    AddBlockDevice(sys.path(), "sr0");
    AddBlockDevice(sys.path(), "sr1");
    WriteFileBytes(sys.File("mounts"),
                   "/dev/sda1 / ext4 rw 0 0\n"
                   "/dev/sr1 /media/user/MY\\040DISC iso9660 ro 0 0\n");
    EXPECT_EQ(ResolveDrivePath("E:\\Mpegav\\Avseq01.dat", sys.path(), sys.File("mounts")),
              "/media/user/MY DISC/Mpegav/Avseq01.dat");
    EXPECT_EQ(ResolveDrivePath("e:\\a.mp3", sys.path(), sys.File("mounts")), "/media/user/MY DISC/a.mp3");
    // Not mounted, no such drive, not a drive path: unchanged.
    EXPECT_EQ(ResolveDrivePath("D:\\Mpegav\\Avseq01.dat", sys.path(), sys.File("mounts")),
              "D:\\Mpegav\\Avseq01.dat");
    EXPECT_EQ(ResolveDrivePath("F:\\x", sys.path(), sys.File("mounts")), "F:\\x");
    EXPECT_EQ(ResolveDrivePath("/home/u/a.mp3", sys.path(), sys.File("mounts")), "/home/u/a.mp3");
    EXPECT_EQ(OpticalDriveDevice("E:\\", sys.path()), "sr1");
}

TEST(ResolveDrivePath, NamesOnTheDiscAreFoundInAnyCase) {
    TempDir sys;
    AddBlockDevice(sys.path(), "sr0");  // D:
    std::filesystem::create_directories(sys.File("disc/MPEGAV"));
    WriteFileBytes(sys.File("disc/MPEGAV/AVSEQ01.DAT"), "");
    WriteFileBytes(sys.File("mounts"), "/dev/sr0 " + sys.File("disc") + " iso9660 ro 0 0\n");
    EXPECT_EQ(ResolveDrivePath("D:\\Mpegav\\Avseq01.dat", sys.path(), sys.File("mounts")),
              sys.File("disc/MPEGAV/AVSEQ01.DAT"));
    // What is not on the disc keeps the stored spelling, and the caller finds no file.
    EXPECT_EQ(ResolveDrivePath("D:\\Mpegav\\Avseq02.dat", sys.path(), sys.File("mounts")),
              sys.File("disc/MPEGAV/Avseq02.dat"));
}

}  // namespace
}  // namespace tolvenmark
