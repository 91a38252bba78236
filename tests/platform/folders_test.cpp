#include "platform/folders.h"

#include <cstdlib>
#include <filesystem>
#include <utility>
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

constexpr uid_t kNobody = 65534;

// Private folders in a temporary folder, and the cache the fallbacks use.
class TmpDirEnv : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TMPDIR", dir.path().c_str(), 1);
        setenv("XDG_CACHE_HOME", dir.File("cache").c_str(), 1);
    }
    void TearDown() override {
        for (const char* name : {"TMPDIR", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) unsetenv(name);
    }
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

TEST_F(TmpDirEnv, PrivateTempDirectoryLeavesALinkPlantedByAnotherForTheCache) {
    TempDir elsewhere;
    std::filesystem::create_directory_symlink(elsewhere.path(), Expected());
    EXPECT_EQ(PrivateTempDirectory(), dir.File("cache/tolvenmark/tmp/"));
    setenv("TMPDIR", "/nonexistent", 1);
    EXPECT_EQ(PrivateTempDirectory(), dir.File("cache/tolvenmark/tmp/"));
}

// What stands where a private folder goes; and whether that folder is taken.
enum class Planted { Nothing, OurOpenFolder, Link, File, AnotherUsersFolder };
class PrivateFolderTest : public TmpDirEnv, public ::testing::WithParamInterface<std::pair<Planted, bool>> {};

TEST_P(PrivateFolderTest, OnlyAFolderOfOursBecomesPrivate) {
    const std::string path = dir.File("private");
    if (GetParam().first == Planted::AnotherUsersFolder && geteuid() != 0) GTEST_SKIP() << "another user needs root";
    if (GetParam().first == Planted::OurOpenFolder || GetParam().first == Planted::AnotherUsersFolder)
        ASSERT_EQ(mkdir(path.c_str(), 0777), 0);
    if (GetParam().first == Planted::AnotherUsersFolder) ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
    if (GetParam().first == Planted::Link) std::filesystem::create_directory_symlink("/tmp", path);
    if (GetParam().first == Planted::File) WriteFileBytes(path, "");
    if (GetParam().second) {
        EXPECT_THROW(MakePrivateFolder(path), OperationError);
        // The socket's folder then falls back to the user's cache.
        setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
        EXPECT_EQ(PrivateRuntimeDirectory(), dir.File("cache/tolvenmark/run"));
        return;
    }
    MakePrivateFolder(path);
    struct stat st {};
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_EQ(st.st_uid, geteuid());
}

INSTANTIATE_TEST_SUITE_P(Planted, PrivateFolderTest,
                         ::testing::Values(std::pair{Planted::Nothing, false}, std::pair{Planted::OurOpenFolder, false},
                                           std::pair{Planted::Link, true}, std::pair{Planted::File, true},
                                           std::pair{Planted::AnotherUsersFolder, true}));

TEST_F(TmpDirEnv, TheSocketFolderIsTheRuntimeFolderOnlyWhenPrivate) {
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    chmod(dir.path().c_str(), 0777);
    EXPECT_EQ(PrivateRuntimeDirectory(), dir.File("cache/tolvenmark/run"));
    chmod(dir.path().c_str(), 0700);
    EXPECT_EQ(PrivateRuntimeDirectory(), dir.path());
    // No private folder at all is said, never guessed.
    unsetenv("XDG_RUNTIME_DIR");
    WriteFileBytes(dir.File("file"), "");
    setenv("XDG_CACHE_HOME", dir.File("file").c_str(), 1);
    EXPECT_THROW(PrivateRuntimeDirectory(), OperationError);
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
