#include "clock/startup_load.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "clock/config.h"
#include "clock/date_migration.h"
#include "clock/date_order.h"
#include "platform/conversion_error.h"
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

struct DateOrderCase {
    const char* format;
    int code;
};

class CheckDateFormatTest : public ::testing::TestWithParam<DateOrderCase> {};

TEST_P(CheckDateFormatTest, GivesTheFieldOrder) {
    EXPECT_EQ(CheckDateFormat(GetParam().format), GetParam().code) << GetParam().format;
}

INSTANTIATE_TEST_SUITE_P(Formats, CheckDateFormatTest,
                         ::testing::Values(DateOrderCase{"M/d/yyyy", 123}, DateOrderCase{"dd/MM/yyyy", 213},
                                           DateOrderCase{"d.M.yyyy", 213}, DateOrderCase{"yyyy-MM-dd", 312},
                                           DateOrderCase{"yyyy/dd/MM", 321}, DateOrderCase{"MM/yy/dd", 132},
                                           DateOrderCase{"dd/yyyy/MM", 231},
                                           // the month is only an upper-case M
                                           DateOrderCase{"yyyy-mm-dd", 132}));

TEST(ConfigNumberTest, EmptyOrNonNumericTakesTheDefault) {
    EXPECT_EQ(ConfigNumber("", 5), 5);
    EXPECT_EQ(ConfigNumber("ten", 60), 60);
    EXPECT_EQ(ConfigNumber("7", 5), 7);
}

class StartupLoadTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("TOLVENMARK_WINDIR", dir.path().c_str(), 1); }
    void TearDown() override { unsetenv("TOLVENMARK_WINDIR"); }

    std::string Ini() const { return dir.File("TOLVENMARKCLOCK.INI"); }
    std::optional<StartupConfig> Load() { return LoadStartupConfig(clock, settings, prompts); }

    TempDir dir;
    FixedClock clock{{2026, 12, 7, 14, 5, 9}};
    RegionalSettings settings;  // M/d/yyyy, "/", h:mm:ss AMPM
    ScriptedPrompts prompts;
};

TEST_F(StartupLoadTest, MissingFileShowsThePathAndGivesNothing) {
    EXPECT_FALSE(Load().has_value());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0], "Error: The file : " + Ini() +
                                    " does not exist.\r\nYou are not going to get far without that file!!!");
    EXPECT_FALSE(FileExists(Ini()));
}

struct UpgradeCase {
    const char* name;
    const char* versionLine;
};

class StartupUpgradeTest : public StartupLoadTest, public ::testing::WithParamInterface<UpgradeCase> {};

TEST_P(StartupUpgradeTest, WritesVersionAndDateFormat) {
    settings.shortDateFormat = "dd.MM.yyyy";
    settings.dateSeparator = ".";
    WriteFileBytes(Ini(), std::string("[ALARM]\nAPPPATH=/data\nALSET=TRUE\n") + GetParam().versionLine +
                              "ALFORMAT=123\n");
    auto config = Load();
    ASSERT_TRUE(config.has_value());
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(ReadConfigKey("VERSION"), "1.1");
    EXPECT_EQ(ReadConfigKey("ALFORMAT"), "213");
    EXPECT_EQ(ReadConfigKey("ALDATESEP"), ".");
    EXPECT_EQ(ReadConfigKey("CHANGEALARM"), "Yes");
    EXPECT_EQ(ReadConfigKey("DELETEALARM"), "Yes");
    EXPECT_EQ(ReadConfigKey("ALSET"), "TRUE");
    // The date-format check that follows compares against the code read before the upgrade.
    EXPECT_EQ(config->alFormat, "123");
    EXPECT_EQ(config->appPath, "/data");
}

INSTANTIATE_TEST_SUITE_P(OldVersions, StartupUpgradeTest,
                         ::testing::Values(UpgradeCase{"From10", "VERSION=1.0\n"},
                                           UpgradeCase{"WithoutVersion", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupLoadTest, CurrentVersionWritesNothing) {
    const std::string content = "[ALARM]\r\nVERSION=1.1\r\nALSET=yes\r\nALDATE=\r\n";
    WriteFileBytes(Ini(), content);
    ASSERT_TRUE(Load().has_value());
    EXPECT_EQ(ReadFileBytes(Ini()), content);
}

TEST_F(StartupLoadTest, ReadsKeysWithTheirLimitsAndLeavesAnAlarmNeverSetEmpty) {
    const std::string header(300, 'h');
    WriteFileBytes(Ini(), "[ALARM]\nVERSION=1.1\nSKIN=Default\nSNOOZE=Yes\nSNOOZEMIN=9\nALHEADER=" + header +
                              "\nALSET=TRUE\n");
    auto config = Load();
    ASSERT_TRUE(config.has_value());
    EXPECT_EQ(config->alHeader, header.substr(0, 254));
    EXPECT_EQ(config->skin, "Default");
    EXPECT_EQ(config->snooze, "Yes");
    EXPECT_EQ(config->snoozeMin, "9");
    EXPECT_EQ(config->alSet, "TRUE");
    EXPECT_EQ(config->alDate, "");
    EXPECT_EQ(config->alTime, "");
    EXPECT_EQ(ReadConfigKey("ALDATE"), "");
    EXPECT_EQ(ReadConfigKey("ALTIME"), "");
}

}  // namespace
}  // namespace tolvenmark

namespace tolvenmark {
namespace {

struct BoundCase {
    const char* text;
    int snoozeMinutes;
    int waitSeconds;
};

class NumberKeyBoundsTest : public ::testing::TestWithParam<BoundCase> {
protected:
    void TearDown() override { SetConfigPath(""); }
    TempDir dir;
};

// Read from the file, as the snooze and the dial-up wait read them.
TEST_P(NumberKeyBoundsTest, SnoozeAndWaitStayInTheirRange) {
    SetConfigPath(dir.File("TOLVENMARKCLOCK.INI"));
    WriteFileBytes(ConfigPath(), std::string("[ALARM]\r\nSNOOZEMIN=") + GetParam().text + "\r\nWAIT=" +
                                     GetParam().text + "\r\n");
    EXPECT_EQ(SnoozeMinutes(), GetParam().snoozeMinutes);
    EXPECT_EQ(WaitSeconds(), GetParam().waitSeconds);
}

INSTANTIATE_TEST_SUITE_P(Values, NumberKeyBoundsTest,
                         ::testing::Values(BoundCase{"", 5, 60}, BoundCase{"abc", 5, 60}, BoundCase{"0", 5, 1},
                                           BoundCase{"-3", 5, 1}, BoundCase{"1", 1, 1}, BoundCase{"7", 7, 7},
                                           BoundCase{"1440", 1440, 1440}, BoundCase{"1441", 1440, 1441},
                                           BoundCase{"3600", 1440, 3600}, BoundCase{"7200", 1440, 7200},
                                           BoundCase{"2147483", 1440, 2147483},
                                           BoundCase{"2147483647", 1440, 2147483},
                                           BoundCase{"99999999999", 5, 60}));

// Faults of the date-format check that reported a migration it did not make,
// or made one the stored dates did not call for.
struct CheckCase {
    const char* name;
    const char* config;  // after [ALARM] and APPPATH
    const char* alarms;
    bool migrates;
    const char* alarmsAfter;
    int unreadable;
};

class DateCheckFaultTest : public StartupLoadTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(DateCheckFaultTest, ByStoredOrder) {
    const CheckCase& c = GetParam();
    WriteFileBytes(Ini(), "[ALARM]\r\nAPPPATH=" + dir.path() + "\r\n" + c.config);
    WriteFileBytes(dir.File("Alarms.txt"), c.alarms);
    const StartupOutcome outcome = RunStartup(clock, settings, prompts);
    EXPECT_EQ(outcome.proceed, !c.migrates);
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(ReadFileBytes(dir.File("Alarms.txt")), c.alarmsAfter);
    EXPECT_EQ(ReadConfigKey("ALFORMAT"), "123");
    EXPECT_EQ(ReadConfigKey("ALDATESEP"), "/");
    if (c.migrates)
        EXPECT_EQ(prompts.shown, std::vector<std::string>{"Warning: " + DateFormatChangedMessage(c.unreadable)});
    else
        EXPECT_TRUE(prompts.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateCheckFaultTest,
    ::testing::Values(
        CheckCase{"EmptySeparatorIsTheCurrentOne", "VERSION=1.1\r\nALFORMAT=213\r\nALDATESEP=\r\n",
                  "A^11/03/2004^7:00:00 AM^\r\n", true, "A^3/11/2004^7:00:00 AM^\r\n", 0},
        CheckCase{"UnknownCodeChangesNothing", "VERSION=1.1\r\nALFORMAT=999\r\nALDATESEP=/\r\n",
                  "A^11/03/2004^7:00:00 AM^\r\n", false, "A^11/03/2004^7:00:00 AM^\r\n", 0},
        CheckCase{"UpgradeReadsTheOldSeparatorFirst", "ALFORMAT=213\r\nALDATESEP=.\r\n",
                  "A^25.12.2003^7:00:00 AM^\r\n", true, "A^12/25/2003^7:00:00 AM^\r\n", 0},
        CheckCase{"UnreadableDatesAreKeptAndCounted", "VERSION=1.1\r\nALFORMAT=213\r\nALDATESEP=.\r\n",
                  "A^25.12^7:00:00 AM^\r\nB^x.1.2003^7:00:00 AM^\r\nC^1.2.2003^7:00:00 AM^\r\n", true,
                  "A^25.12^7:00:00 AM^\r\nB^x.1.2003^7:00:00 AM^\r\nC^2/1/2003^7:00:00 AM^\r\n", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupLoadTest, UnreadableConfigurationIsNamedAndEndsWithAnError) {
    WriteFileBytes(Ini(), "[ALARM]\r\nAPPPATH=/data\r\n");
    SetFileFaultHook([](FileStep step, const std::string&) { return step == FileStep::Read ? EACCES : 0; });
    const StartupOutcome outcome = RunStartup(clock, settings, prompts);
    SetFileFaultHook({});
    EXPECT_FALSE(outcome.proceed);
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(prompts.shown,
              std::vector<std::string>{"Error: The file : " + Ini() + " cannot be read.\r\nFile access denied"});
}

// A new pending alarm is its date, time and header together: a disk that
// fails at any replacement leaves the old three or the new three.
TEST(WriteConfigKeysTest, SeveralKeysAreOneReplacement) {
    TempDir dir;
    SetConfigPath(dir.File("TOLVENMARKCLOCK.INI"));
    const std::string before = "[ALARM]\r\nALDATE=1/1/2027\r\nALTIME=7:00:00 AM\r\nALHEADER=Old\r\n";
    for (int failing : {1, 2, 3}) {
        SCOPED_TRACE("replacement " + std::to_string(failing) + " fails");
        WriteFileBytes(ConfigPath(), before);
        int replacements = 0;
        SetFileFaultHook([&](FileStep step, const std::string&) {
            return step == FileStep::Rename && ++replacements == failing ? ENOSPC : 0;
        });
        bool written = true;
        try {
            WriteConfigKeysChecked({{"ALDATE", "12/24/2027"}, {"ALTIME", "6:30:00 PM"}, {"ALHEADER", "Carols"}});
        } catch (const OperationError& e) {
            written = false;
            EXPECT_EQ(e.what(), "The file : " + ConfigPath() + " cannot be written.\r\nDisk full");
        }
        SetFileFaultHook({});
        EXPECT_EQ(ReadFileBytes(ConfigPath()),
                  written ? "[ALARM]\r\nALDATE=12/24/2027\r\nALTIME=6:30:00 PM\r\nALHEADER=Carols\r\n" : before);
    }
    SetConfigPath("");
}

TEST(DateFormatChangedMessageTest, SaysHowManyDatesWereKept) {
    EXPECT_EQ(DateFormatChangedMessage(0), kDateFormatChangedMessage);
    EXPECT_EQ(DateFormatChangedMessage(1),
              "A Windows Date Format change was detected and the stored alarm dates were updated, except 1 date "
              "that could not be read and was kept as stored.  Please restart the program.");
    EXPECT_NE(DateFormatChangedMessage(3).find("except 3 dates that could not be read and were kept"),
              std::string::npos);
}

}  // namespace
}  // namespace tolvenmark
