#include "platform/folders.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/conversion_error.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

TEST(ReplaceFileAtomicallyTest, KeepsPermissionsAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string file = dir.File("a.ini");
    WriteFileBytes(file, "old");
    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
    ASSERT_TRUE(ReplaceFileAtomically(file, "new"));
    EXPECT_EQ(ReadFileBytes(file), "new");
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(ReplaceFileAtomicallyTest, FailureLeavesTheOldContent) {
    TempDir dir;
    // A folder where the file should be cannot be replaced.
    std::filesystem::create_directory(dir.File("a.ini"));
    EXPECT_FALSE(ReplaceFileAtomically(dir.File("a.ini"), "new"));
    EXPECT_FALSE(ReplaceFileAtomically(dir.File("missing/a.ini"), "new"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

class TmpDirEnv : public ::testing::Test {
protected:
    void SetUp() override { setenv("TMPDIR", dir.path().c_str(), 1); }
    void TearDown() override { unsetenv("TMPDIR"); }
    std::string Expected() const { return dir.path() + "/tolvenmark-" + std::to_string(getuid()); }
    TempDir dir;
};

TEST_F(TmpDirEnv, PrivateTempDirectoryIsOwnedAndClosed) {
    const std::string temp = PrivateTempDirectory();
    EXPECT_EQ(temp, Expected() + "/");
    struct stat st {};
    ASSERT_EQ(lstat(Expected().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(PrivateTempDirectory(), temp);
}

TEST_F(TmpDirEnv, PrivateTempDirectoryRefusesALinkPlantedByAnother) {
    TempDir elsewhere;
    std::filesystem::create_directory_symlink(elsewhere.path(), Expected());
    EXPECT_THROW(PrivateTempDirectory(), OperationError);
}

TEST(FindFileIgnoringCaseTest, PrefersTheExactNameThenAnyCase) {
    TempDir dir;
    WriteFileBytes(dir.File("ACMain.jpg"), "");
    WriteFileBytes(dir.File("exact.bmp"), "");
    WriteFileBytes(dir.File("EXACT.bmp"), "");
    std::filesystem::create_directory(dir.File("folder.jpg"));
    EXPECT_EQ(FindFileIgnoringCase(dir.File("acmain.JPG")), dir.File("ACMain.jpg"));
    EXPECT_EQ(FindFileIgnoringCase(dir.File("EXACT.bmp")), dir.File("EXACT.bmp"));
    EXPECT_EQ(FindFileIgnoringCase(dir.File("FOLDER.JPG")), dir.File("FOLDER.JPG"));  // not a file
    EXPECT_EQ(FindFileIgnoringCase(dir.File("none.jpg")), dir.File("none.jpg"));
    EXPECT_EQ(FindFileIgnoringCase(dir.File("no/such/a.jpg")), dir.File("no/such/a.jpg"));
}

TEST(WindowsDirectoryTest, FollowsTheEnvironment) {
    setenv("TOLVENMARK_WINDIR", "/x/win", 1);
    EXPECT_EQ(WindowsDirectory(), "/x/win");
    unsetenv("TOLVENMARK_WINDIR");
    setenv("XDG_CONFIG_HOME", "/x/conf", 1);
    EXPECT_EQ(WindowsDirectory(), "/x/conf/tolvenmark");
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace tolvenmark

namespace tolvenmark {
namespace {

TEST(ReplaceFileAtomicallyTest, ALinkStaysALinkAndItsTargetIsReplaced) {
    testing::TempDir dir;
    testing::WriteFileBytes(dir.File("real.ini"), "old");
    std::filesystem::create_symlink(dir.File("real.ini"), dir.File("link.ini"));
    ASSERT_TRUE(ReplaceFileAtomically(dir.File("link.ini"), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.ini")));
    EXPECT_EQ(testing::ReadFileBytes(dir.File("real.ini")), "new");
}

}  // namespace
}  // namespace tolvenmark
