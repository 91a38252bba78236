#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/file_size_limit.h"
#include "support/program_run.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::RunClock;
using testing::TempDir;
using testing::WriteFileBytes;

// A full disk during the date migration: the program names the file, ends
// with a failure status, and the next start, with room again, finishes it.
TEST(ProgramStartupErrorTest, FullDiskMigrationFailsNextStartFinishes) {
    TempDir dir;
    const std::string ini = dir.File("TOLVENMARKCLOCK.INI");
    WriteFileBytes(ini, "[ALARM]\nAPPPATH=" + dir.path() +
                            "\nVERSION=1.1\nALFORMAT=213\nALDATESEP=.\nALDATE=05.01.2004\n; " +
                            std::string(6000, 'x') + "\n");
    WriteFileBytes(dir.File("Alarms.txt"), "Wake^05.01.2004^7:30:00 AM^\r\n");
    const std::map<std::string, std::string> env{{"TOLVENMARK_WINDIR", dir.path()},
                                                 {"TOLVENMARK_SHORT_DATE", "M/d/yyyy"},
                                                 {"TOLVENMARK_DATE_SEP", "/"}};
    testing::ProgramResult full;
    {
        // Inherited by the program: every write past 4 KiB fails.
        testing::ScopedFileSizeLimit limit(4096);
        full = RunClock({}, env);
    }
    EXPECT_EQ(full.exitCode, 1) << full.err;
    EXPECT_NE(full.err.find("Error: The file : " + ini + " cannot be written.\\r\\nDisk full\n"), std::string::npos)
        << full.err;
    EXPECT_EQ(full.err.find("Warning:"), std::string::npos) << full.err;

    // The next start finishes the change and then starts the clock again.
    testing::RunningClock again({}, env);
    EXPECT_TRUE(again.WaitForError("Warning: A Windows Date Format change was detected", 20000)) << again.Error();
    EXPECT_EQ(ReadFileBytes(dir.File("Alarms.txt")), "Wake^1/5/2004^7:30:00 AM^\r\n");
    EXPECT_NE(ReadFileBytes(ini).find("ALDATE=1/5/2004\n"), std::string::npos);
}

// A FIFO put where the journal of a date-format change lies would make the
// start wait for a writer for ever.
TEST(ProgramStartupErrorTest, FifoInPlaceOfTheDateChangeJournalIsRefused) {
    TempDir dir;
    const std::string ini = dir.File("TOLVENMARKCLOCK.INI");
    WriteFileBytes(ini, "[ALARM]\nAPPPATH=" + dir.path() + "\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\n");
    ASSERT_EQ(::mkfifo((ini + ".date-change").c_str(), 0600), 0);
    const auto result = RunClock({}, {{"TOLVENMARK_WINDIR", dir.path()}});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_NE(result.err.find("Error: The file : " + ini + ".date-change cannot be read.\\r\\nNot a regular file\n"),
              std::string::npos)
        << result.err;
}

// Skins shown on their own say what is wrong with them, never a version notice.
TEST(ProgramStartupErrorTest, ShowSkinNamesAMissingOrDamagedSkin) {
    TempDir dir;
    WriteFileBytes(dir.File("broken.skn"), std::string("\x09TSKINFORM") + std::string(50, '\0'));  // the magic, then a cut header
    const struct {
        std::string file;
        std::string error;
    } cases[] = {
        {dir.File("absent.ini"), "tolvenmark-clock: Cannot open file " + dir.File("absent.ini") + "\n"},
        {dir.File("broken.skn"),
         "tolvenmark-clock: The packed skin " + dir.File("broken.skn") + " is damaged and cannot be unpacked.\n"},
    };
    for (const auto& c : cases) {
        const auto result = RunClock({"--show-skin", c.file}, {{"TOLVENMARK_WINDIR", dir.path()}});
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
    }
}

}  // namespace
}  // namespace tolvenmark
