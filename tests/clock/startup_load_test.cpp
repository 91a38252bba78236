#include "clock/startup_load.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "clock/config.h"
#include "clock/date_order.h"
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

TEST_P(StartupUpgradeTest, WritesTheNewVersionAndRecordsTheDateFormat) {
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

TEST_F(StartupLoadTest, ReadsKeysWithTheirLimitsAndFillsTheEmptyAlarmInMemoryOnly) {
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
    EXPECT_EQ(config->alDate, "12/7/2026");
    EXPECT_EQ(config->alTime, "2:05:09 PM");
    EXPECT_EQ(ReadConfigKey("ALDATE"), "");
    EXPECT_EQ(ReadConfigKey("ALTIME"), "");
}

}  // namespace
}  // namespace tolvenmark
