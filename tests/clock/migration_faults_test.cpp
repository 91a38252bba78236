#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "clock/config.h"
#include "clock/date_migration.h"
#include "clock/startup_load.h"
#include "platform/file_faults.h"
#include "platform/folders.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::ScriptedPrompts;
using testing::TempDir;
using testing::WriteFileBytes;

// Day-first dates with a full stop, several of them with a day of 12 or less,
// which a second conversion would silently turn into another day.
constexpr const char* kAlarmsBefore =
    "Xmas^25.12.2003^7:00:00 AM^\r\n"
    "Swap^05.01.2004^9:00:00 AM^\r\n"
    "Also^11.03.2004^6:15:00 AM^\r\n"
    "Bad^25.12^8:00:00 AM^\r\n";
constexpr const char* kAlarmsAfter =
    "Xmas^12/25/2003^7:00:00 AM^\r\n"
    "Swap^1/5/2004^9:00:00 AM^\r\n"
    "Also^3/11/2004^6:15:00 AM^\r\n"
    "Bad^25.12^8:00:00 AM^\r\n";

class MigrationFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TOLVENMARK_WINDIR", dir.path().c_str(), 1);
        settings.shortDateFormat = "M/d/yyyy";
        settings.dateSeparator = "/";
    }
    void TearDown() override {
        SetFileFaultHook({});
        unsetenv("TOLVENMARK_WINDIR");
    }

    void Reset() {
        std::filesystem::remove_all(dir.path());
        std::filesystem::create_directory(dir.path());
        WriteFileBytes(dir.File("TOLVENMARKCLOCK.INI"),
                       "[ALARM]\r\nAPPPATH=" + dir.path() +
                           "\r\nVERSION=1.1\r\nALFORMAT=213\r\nALDATESEP=.\r\nALDATE=05.01.2004\r\n");
        WriteFileBytes(dir.File("Alarms.txt"), kAlarmsBefore);
    }

    StartupOutcome Start() {
        prompts.shown.clear();
        return RunStartup(clock, settings, prompts);
    }

    // Every date converted once, the new order recorded, nothing left over.
    void ExpectMigratedOnce() {
        EXPECT_EQ(ReadFileBytes(dir.File("Alarms.txt")), kAlarmsAfter);
        EXPECT_EQ(ReadConfigKey("ALDATE"), "1/5/2004");
        EXPECT_EQ(ReadConfigKey("ALFORMAT"), "123");
        EXPECT_EQ(ReadConfigKey("ALDATESEP"), "/");
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"Alarms.txt", "TOLVENMARKCLOCK.INI"}));
    }

    // Starts until the program would show its window, as a user restarting it would.
    void RestartUntilRunning() {
        StartupOutcome outcome = Start();
        if (!outcome.proceed) {
            EXPECT_EQ(outcome.exitStatus, 0) << ::testing::PrintToString(prompts.shown);
            ASSERT_EQ(prompts.shown.size(), 1u);
            EXPECT_EQ(prompts.shown[0], "Warning: " + DateFormatChangedMessage(1));
            outcome = Start();
        }
        EXPECT_TRUE(outcome.proceed);
        EXPECT_TRUE(prompts.shown.empty()) << ::testing::PrintToString(prompts.shown);
        EXPECT_EQ(outcome.pending.date, "1/5/2004");
    }

    // How many steps of the file layer one undisturbed migration takes.
    int CountSteps() {
        Reset();
        int steps = 0;
        SetFileFaultHook([&](FileStep, const std::string&) {
            ++steps;
            return 0;
        });
        EXPECT_FALSE(Start().proceed);
        SetFileFaultHook({});
        return steps;
    }

    TempDir dir;
    FixedClock clock{{2003, 12, 1, 10, 0, 0}};
    RegionalSettings settings;
    ScriptedPrompts prompts;
};

TEST_F(MigrationFaultTest, UndisturbedMigrationConvertsOnceAndSaysOneDateWasKept) {
    Reset();
    const StartupOutcome outcome = Start();
    EXPECT_FALSE(outcome.proceed);
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"Warning: " + DateFormatChangedMessage(1)});
    ExpectMigratedOnce();
    RestartUntilRunning();
    ExpectMigratedOnce();
}

TEST_F(MigrationFaultTest, AKillAtEveryStepIsFinishedByTheNextStart) {
    const int steps = CountSteps();
    ASSERT_GE(steps, 12);
    for (int kill = 0; kill < steps; ++kill) {
        SCOPED_TRACE("killed at step " + std::to_string(kill));
        Reset();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int step = 0;
            SetFileFaultHook([&](FileStep, const std::string&) {
                if (step++ == kill) ::raise(SIGKILL);
                return 0;
            });
            Start();
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        RestartUntilRunning();
        ExpectMigratedOnce();
    }
}

TEST_F(MigrationFaultTest, FailedWriteAtEveryStepIsNamedAndRedone) {
    const int steps = CountSteps();
    for (int fail = 0; fail < steps; ++fail) {
        SCOPED_TRACE("failed at step " + std::to_string(fail));
        Reset();
        int step = 0;
        std::string failedFile;
        SetFileFaultHook([&](FileStep, const std::string& path) {
            if (step++ != fail) return 0;
            failedFile = path;
            return ENOSPC;
        });
        const StartupOutcome outcome = Start();
        SetFileFaultHook({});
        EXPECT_FALSE(outcome.proceed);
        EXPECT_EQ(outcome.exitStatus, 1);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].rfind("Error: The file : " + failedFile + " ", 0), 0u) << prompts.shown[0];
        EXPECT_NE(prompts.shown[0].find("Disk full"), std::string::npos) << prompts.shown[0];
        RestartUntilRunning();
        ExpectMigratedOnce();
    }
}

TEST_F(MigrationFaultTest, ADamagedJournalIsNamedAndKept) {
    const std::string header = "Tolvenmark Clock date format change 1\nALFORMAT=213\nALDATESEP=.\n";
    const std::string whole = header + "ALDATE=05.01.2004\nALARMS=1\nLENGTH=" +
                              std::to_string(std::string(kAlarmsBefore).size()) + "\n";
    // Cut inside the header; whole header with the copy of the alarms cut short.
    for (const std::string& content : {header, whole + std::string(kAlarmsBefore).substr(0, 40)}) {
        Reset();
        const std::string journal = dir.File("TOLVENMARKCLOCK.INI.date-change");
        WriteFileBytes(journal, content);
        const StartupOutcome outcome = Start();
        EXPECT_EQ(outcome.exitStatus, 1);
        EXPECT_EQ(prompts.shown, std::vector<std::string>{"Error: The file : " + journal + " is damaged."});
        EXPECT_EQ(ReadFileBytes(dir.File("Alarms.txt")), kAlarmsBefore);
        EXPECT_TRUE(FileExists(journal));
    }
}

TEST_F(MigrationFaultTest, StaleTemporaryFilesOfOursGoAndNothingElse) {
    Reset();
    for (const char* name : {".Alarms.txt.a1B2c3", ".TOLVENMARKCLOCK.INI.Zz9Yy8", ".StorageBin.txt.000000",
                             ".TOLVENMARKCLOCK.INI.date-change.abcdef"})
        WriteFileBytes(dir.File(name), "half");
    const std::vector<std::string> kept{".Alarms.txt.a1B2c", ".Alarms.txt.a1B2c3d", ".Alarms.txt.a1B-c3",
                                        "Alarms.txt.a1B2c3", ".Other.txt.a1B2c3"};
    for (const auto& name : kept) WriteFileBytes(dir.File(name), "mine");
    Start();
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = kept;
    expected.push_back("Alarms.txt");
    expected.push_back("TOLVENMARKCLOCK.INI");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
}

}  // namespace
}  // namespace tolvenmark
