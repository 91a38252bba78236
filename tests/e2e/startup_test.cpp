#include <QThread>
#include <gtest/gtest.h>

#include "support/program_run.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::RunClock;
using testing::TempDir;
using testing::WriteFileBytes;

TEST(ProgramTest, VersionAndHelp) {
    auto version = RunClock({"--version"}, {});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "Tolvenmark Clock 1.1\n");

    auto help = RunClock({"--help"}, {});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* name : {"TOLVENMARK_WINDIR", "TOLVENMARK_PROMPTS", "TOLVENMARK_SHORT_DATE", "TOLVENMARK_AM"})
        EXPECT_NE(help.out.find(name), std::string::npos) << name;
}

TEST(ProgramTest, WithoutConfigurationItSaysSoAndEnds) {
    TempDir dir;
    auto run = RunClock({}, {{"TOLVENMARK_WINDIR", dir.path()}});
    EXPECT_NE(run.exitCode, 0);
    // The toolkit may add warnings of its own; the box is one whole line.
    const std::string line = "Error: The file : " + dir.path() +
                             "/TOLVENMARKCLOCK.INI does not exist.\\r\\nYou are not going to get far without "
                             "that file!!!\n";
    EXPECT_NE(("\n" + run.err).find("\n" + line), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("tolvenmark-clock-session writes a first one"), std::string::npos) << run.err;
}

TEST(ProgramTest, FirstStartUpgradesTheConfiguration) {
    TempDir dir;
    const std::string ini = dir.File("TOLVENMARKCLOCK.INI");
    WriteFileBytes(ini, "[ALARM]\nAPPPATH=" + dir.path() + "\nSKIN=Default\n");
    // The clock keeps running after its start-up; the upgrade is written by then.
    testing::RunningClock clock({}, {{"TOLVENMARK_WINDIR", dir.path()}, {"TOLVENMARK_SHORT_DATE", "d.M.yyyy"},
                                     {"TOLVENMARK_DATE_SEP", "."}});
    const std::vector<std::string> lines{"VERSION=1.1\n",      "ALFORMAT=213\n",     "ALDATESEP=.\n",
                                         "CHANGEALARM=Yes\n", "DELETEALARM=Yes\n", "SKIN=Default\n"};
    auto allWritten = [&](const std::string& content) {
        for (const auto& line : lines)
            if (content.find(line) == std::string::npos) return false;
        return true;
    };
    std::string content = ReadFileBytes(ini);
    for (int i = 0; i < 100 && !allWritten(content); ++i) {
        QThread::msleep(100);
        content = ReadFileBytes(ini);
    }
    EXPECT_TRUE(clock.Running()) << clock.Error();
    for (const auto& line : lines)
        EXPECT_NE(content.find(line), std::string::npos) << line << " in\n" << content;
}

}  // namespace
}  // namespace tolvenmark

namespace tolvenmark {
namespace {

TEST(ProgramTest, ChangedDateOrderMigratesTheStoredDatesAndStartsAgain) {
    TempDir dir;
    const std::string ini = dir.File("TOLVENMARKCLOCK.INI");
    WriteFileBytes(ini, "[ALARM]\nAPPPATH=" + dir.path() +
                            "\nVERSION=1.1\nALFORMAT=213\nALDATESEP=.\nALDATE=25.12.2003\nALTIME=7:00:00 AM\n");
    WriteFileBytes(dir.File("Alarms.txt"), "Wake^05.01.2004^7:30:00 AM^\r\n");
    testing::RunningClock clock({}, {{"TOLVENMARK_WINDIR", dir.path()}, {"TOLVENMARK_SHORT_DATE", "M/d/yyyy"},
                                     {"TOLVENMARK_DATE_SEP", "/"}});
    EXPECT_TRUE(clock.WaitForError("Warning: A Windows Date Format change was detected and the stored alarm dates "
                                   "were updated.  Please restart the program.\n",
                                   20000))
        << clock.Error();
    // Started at login, it must not leave the user without a clock.
    QThread::msleep(1500);
    EXPECT_TRUE(clock.Running()) << clock.Error();
    EXPECT_EQ(ReadFileBytes(dir.File("Alarms.txt")), "Wake^1/5/2004^7:30:00 AM^\r\n");
    const std::string content = ReadFileBytes(ini);
    for (const char* line : {"ALDATE=12/25/2003\n", "ALFORMAT=123\n", "ALDATESEP=/\n"})
        EXPECT_NE(content.find(line), std::string::npos) << line << " in\n" << content;
}

}  // namespace
}  // namespace tolvenmark
