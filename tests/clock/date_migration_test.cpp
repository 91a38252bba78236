#include "clock/date_migration.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "clock/config.h"
#include "platform/conversion_error.h"
#include "platform/folders.h"
#include "support/file_size_limit.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::ScriptedPrompts;
using testing::TempDir;
using testing::WriteFileBytes;

TEST(DecodeDateString, ReordersIntoTheCurrentFormat) {
    struct Case {
        const char* text;
        int stored;
        const char* oldSep;
        int current;
        const char* newSep;
        const char* result;
    } cases[] = {
        {"25.12.2003", 213, ".", 123, "/", "12/25/2003"},
        {"05.01.2004", 213, ".", 123, "/", "1/5/2004"},
        {"12/2003/25", 132, "/", 123, "/", "12/25/2003"},
        {"4/20/03", 123, "/", 312, "-", "3-4-20"},
        {"2003-04-09", 312, "-", 213, ".", "9.4.2003"},
        {"25. 12. 2003", 213, ". ", 123, "/", "12/25/2003"},
        {"65535.1.2003", 213, ".", 123, "/", "1/65535/2003"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DecodeDateString(c.text, c.stored, c.oldSep, c.current, c.newSep), c.result);
    }
}

TEST(DecodeDateString, EveryOrderReachesEveryOther) {
    // month 4, day 20, year 2003 written in each order
    const std::pair<int, const char*> orders[] = {{123, "4-20-2003"}, {132, "4-2003-20"},
                                                  {213, "20-4-2003"}, {231, "20-2003-4"},
                                                  {312, "2003-4-20"}, {321, "2003-20-4"}};
    for (const auto& [from, text] : orders)
        for (const auto& [to, expected] : orders) {
            SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(to));
            EXPECT_EQ(DecodeDateString(text, from, "-", to, "-"), expected);
        }
}

TEST(DecodeDateString, LeavesWhatItCannotReadUnchanged) {
    struct Case {
        const char* text;
        int stored;
        const char* oldSep;
        int current;
        const char* proves;
    } cases[] = {
        {"25.12.2003", 999, ".", 123, "stored code not one of the six"},
        {"25.12.2003", 0, ".", 123, "stored code zero"},
        {"25.12.2003", 213, ".", 7, "current code not one of the six"},
        {"25.12.2003", 213, "", 123, "empty old separator"},
        {"25.12", 213, ".", 123, "one separator"},
        {"", 213, ".", 123, "empty text"},
        {"25/12/2003", 213, ".", 123, "another separator"},
        {"25..2003", 213, ".", 123, "empty part"},
        {"aa.12.2003", 213, ".", 123, "letters"},
        {"25.12.2003.1", 213, ".", 123, "third part holds a separator"},
        {"25.12.2003 10:00", 213, ".", 123, "time after the year"},
        {"-1.12.2003", 213, ".", 123, "sign"},
        {"0x1.12.2003", 213, ".", 123, "hexadecimal"},
        {"65536.1.2003", 213, ".", 123, "above 16 bits"},
        {"1.1.99999999999999999999", 213, ".", 123, "huge year"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.proves);
        EXPECT_EQ(DecodeDateString(c.text, c.stored, c.oldSep, c.current, "/"), c.text);
    }
}

class DateFormatCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetConfigPath(dir.File("TOLVENMARKCLOCK.INI"));
        WriteFileBytes(ConfigPath(), "[ALARM]\r\nALFORMAT=213\r\nALDATESEP=.\r\nALDATE=25.12.2003\r\n");
        settings.shortDateFormat = "M/d/yyyy";
        settings.dateSeparator = "/";
    }
    void TearDown() override { SetConfigPath(""); }

    bool Check(const std::string& stored) {
        return CheckStoredDateFormat(stored, pending, dir.path(), settings, prompts);
    }

    TempDir dir;
    std::string alarms = dir.File("Alarms.txt");
    RegionalSettings settings;
    ScriptedPrompts prompts;
    PendingAlarm pending{"Xmas", "25.12.2003", "7:00:00 AM"};
};

TEST_F(DateFormatCheckTest, ChangedOrderRewritesEveryStoredDateAndEndsTheProgram) {
    WriteFileBytes(alarms,
                   "Xmas^25.12.2003^7:00:00 AM^\r\n"
                   "No date^^8:00:00 AM^\r\n"
                   "\r\n"
                   "New year^05.01.2004^9:00:00 AM^\r\n");
    EXPECT_TRUE(Check("213"));
    EXPECT_EQ(ReadFileBytes(alarms), "Xmas^12/25/2003^7:00:00 AM^\r\nNew year^1/5/2004^9:00:00 AM^\r\n");
    EXPECT_EQ(pending.date, "12/25/2003");
    EXPECT_EQ(ReadConfigKey("ALDATE"), "12/25/2003");
    EXPECT_EQ(ReadConfigKey("ALFORMAT"), "123");
    EXPECT_EQ(ReadConfigKey("ALDATESEP"), "/");
    EXPECT_EQ(prompts.shown,
              std::vector<std::string>{"Warning: A Windows Date Format change was detected and the stored "
                                       "alarm dates were updated.  Please restart the program."});
}

TEST_F(DateFormatCheckTest, MigrationWithoutAlarmsFileConvertsThePendingDate) {
    EXPECT_TRUE(Check("213"));
    EXPECT_FALSE(FileExists(alarms));
    EXPECT_EQ(ReadConfigKey("ALDATE"), "12/25/2003");
    EXPECT_EQ(ReadConfigKey("ALFORMAT"), "123");
    // The next start finds nothing to do.
    prompts.shown.clear();
    EXPECT_FALSE(Check(ReadConfigKey("ALFORMAT")));
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(pending.date, "12/25/2003");
}

TEST_F(DateFormatCheckTest, UnchangedEmptyOrNonNumericOrderOnlyRecordsIt) {
    for (const char* stored : {"123", "", "abc", "12 3"}) {
        SCOPED_TRACE(std::string("ALFORMAT '") + stored + "'");
        WriteFileBytes(ConfigPath(), "[ALARM]\r\nALDATESEP=/\r\nALDATE=25.12.2003\r\n");
        WriteFileBytes(alarms, "Xmas^25.12.2003^7:00:00 AM^\r\n\r\n");
        EXPECT_FALSE(Check(stored));
        EXPECT_EQ(ReadConfigKey("ALFORMAT"), "123");
        EXPECT_EQ(ReadConfigKey("ALDATESEP"), "/");
        EXPECT_EQ(ReadConfigKey("ALDATE"), "25.12.2003");
        EXPECT_EQ(ReadFileBytes(alarms), "Xmas^25.12.2003^7:00:00 AM^\r\n\r\n");
        EXPECT_EQ(pending.date, "25.12.2003");
        EXPECT_TRUE(prompts.shown.empty());
    }
}

// A rewrite would give the file a new inode; a second name keeps the old one.
TEST_F(DateFormatCheckTest, AnOrderRecordedAlreadyLeavesTheFileAlone) {
    WriteFileBytes(ConfigPath(), "[ALARM]\r\nALFORMAT=123\r\nALDATESEP=/\r\n");
    ASSERT_EQ(::link(ConfigPath().c_str(), dir.File("witness").c_str()), 0);
    EXPECT_FALSE(Check("123"));
    struct stat kept {}, now {};
    ASSERT_EQ(::stat(dir.File("witness").c_str(), &kept), 0);
    ASSERT_EQ(::stat(ConfigPath().c_str(), &now), 0);
    EXPECT_EQ(now.st_ino, kept.st_ino);
}

TEST_F(DateFormatCheckTest, TodayFilledInForAMissingAlarmDateIsNotReread) {
    // The in-memory default is already in the new format: decoding it with the
    // old order would make it another day.
    WriteFileBytes(ConfigPath(), "[ALARM]\r\nALFORMAT=213\r\nALDATESEP=/\r\n");
    pending.date = "4/12/2003";
    EXPECT_TRUE(Check("213"));
    EXPECT_EQ(pending.date, "4/12/2003");
    EXPECT_EQ(ReadConfigKey("ALDATE"), "");
}

TEST_F(DateFormatCheckTest, UnknownStoredOrderKeepsDatesQuietly) {
    WriteFileBytes(alarms, "Xmas^25.12.2003^7:00:00 AM^\r\n");
    // Claiming an update here would end the program for nothing.
    EXPECT_FALSE(Check("999"));
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(ReadFileBytes(alarms), "Xmas^25.12.2003^7:00:00 AM^\r\n");
    EXPECT_EQ(pending.date, "25.12.2003");
    EXPECT_EQ(ReadConfigKey("ALFORMAT"), "123");
}

TEST_F(DateFormatCheckTest, ANewSeparatorAloneRewritesTheDates) {
    WriteFileBytes(ConfigPath(), "[ALARM]\r\nALFORMAT=123\r\nALDATESEP=/\r\nALDATE=12/25/2003\r\n");
    WriteFileBytes(alarms, "Xmas^12/25/2003^7:00:00 AM^\r\n");
    pending.date = "12/25/2003";
    settings.dateSeparator = "-";
    settings.shortDateFormat = "M-d-yyyy";
    EXPECT_TRUE(Check("123"));
    EXPECT_EQ(ReadFileBytes(alarms), "Xmas^12-25-2003^7:00:00 AM^\r\n");
    EXPECT_EQ(ReadConfigKey("ALDATE"), "12-25-2003");
    EXPECT_EQ(ReadConfigKey("ALDATESEP"), "-");
}

TEST_F(DateFormatCheckTest, UnwritableConfigurationMigratesNothing) {
    // A configuration larger than the file-size limit cannot be rewritten; the
    // small "Alarms.txt" could, and must not be.
    WriteFileBytes(ConfigPath(), "[ALARM]\r\nALFORMAT=213\r\nALDATESEP=.\r\nALDATE=25.12.2003\r\n; " +
                                     std::string(8000, 'x') + "\r\n");
    WriteFileBytes(alarms, "Xmas^25.12.2003^7:00:00 AM^\r\n");
    {
        testing::ScopedFileSizeLimit limit(4096);
        EXPECT_THROW(Check("213"), OperationError);
    }
    EXPECT_EQ(ReadFileBytes(alarms), "Xmas^25.12.2003^7:00:00 AM^\r\n");
    EXPECT_EQ(ReadConfigKey("ALDATE"), "25.12.2003");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(DateFormatCheckTest, FileThatCannotBeRewrittenRecordsNothing) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
    WriteFileBytes(alarms, "Xmas^25.12.2003^7:00:00 AM^\r\n");
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_THROW(Check("213"), OperationError);
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(ReadFileBytes(alarms), "Xmas^25.12.2003^7:00:00 AM^\r\n");
    EXPECT_EQ(ReadConfigKey("ALFORMAT"), "213");
    EXPECT_EQ(ReadConfigKey("ALDATE"), "25.12.2003");
    EXPECT_TRUE(prompts.shown.empty());
}

}  // namespace
}  // namespace tolvenmark
