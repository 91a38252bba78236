#include "setup/bin_additions.h"

#include <gtest/gtest.h>

#include "bin/bin_line.h"
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

constexpr int kYear = 2026;
const char* kDuplicateAlarm = "Information: This alarm has already been added to the bin.";

struct SettingCase {
    const char* mediaType;
    const char* player;
    const char* line;
};

void PrintTo(const SettingCase& c, std::ostream* os) { *os << (*c.mediaType ? c.mediaType : "none selected"); }

class FileSettingLineTest : public ::testing::TestWithParam<SettingCase> {};

TEST_P(FileSettingLineTest, SavesTheKindOfEntry) {
    TempDir dir;
    ScriptedPrompts prompts;
    const SettingCase& c = GetParam();
    ASSERT_TRUE(AddSettingsToBin(dir.path(), FileSettingFor(c.mediaType, "start", c.player), prompts));
    EXPECT_EQ(ReadFileBytes(StorageBinPath(dir.path())), std::string(c.line) + "\r\n");
    EXPECT_TRUE(prompts.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, FileSettingLineTest,
                         ::testing::Values(SettingCase{"Text Message", "WMP", "start^Text Message^MESSAGE^"},
                                           SettingCase{"Network Message", "", "start^Network Message^NETMESS^"},
                                           SettingCase{"CD Audio", "WINAMP", "start^^WINAMP^"},
                                           SettingCase{"", "", "start^^^"}));

TEST(AddSettingsToBin, EmptyStartStringAndDuplicatesWriteNothing) {
    TempDir dir;
    ScriptedPrompts prompts;
    EXPECT_FALSE(AddSettingsToBin(dir.path(), {"", "", "WMP"}, prompts));
    EXPECT_FALSE(FileExists(StorageBinPath(dir.path())));

    const std::string bin = "/m/a.mp3^^WMP^\r\nhello^Text Message^MESSAGE^\r\n/m/a.mp3^^WINAMP^\r\n";
    WriteFileBytes(StorageBinPath(dir.path()), bin);
    EXPECT_FALSE(AddSettingsToBin(dir.path(), {"/m/a.mp3", "", "QUICKTIME"}, prompts));
    EXPECT_EQ(ReadFileBytes(StorageBinPath(dir.path())), bin);
    EXPECT_EQ(prompts.shown,
              (std::vector<std::string>{"Information: There is no file, message, or start string to add.",
                                        "Information: This file/message has already been added to the bin.",
                                        "Information: This file/message has already been added to the bin."}));
    // Only whole targets count: a target that starts like another is new.
    EXPECT_TRUE(AddSettingsToBin(dir.path(), {"/m/a.mp", "", ""}, prompts));
}

TEST(AddSettingsToBin, CaretIsRefusedBeforeAnythingIsWritten) {
    TempDir dir;
    ScriptedPrompts prompts;
    WriteFileBytes(StorageBinPath(dir.path()), "x^^^\r\n");
    EXPECT_THROW(AddSettingsToBin(dir.path(), {"net send bob a^b", "Network Message", "NETMESS"}, prompts),
                 OperationError);
    EXPECT_EQ(ReadFileBytes(StorageBinPath(dir.path())), "x^^^\r\n");
}

TEST(AddAlarmToBin, SameAlarmTwiceIsAddedOnce) {
    TempDir dir;
    ScriptedPrompts prompts;
    SavedAlarmList table;
    const RegionalSettings s;
    const SavedAlarm alarm{"Wake up", "12/8/2026", "7:30:00 AM"};
    EXPECT_TRUE(AddAlarmToBin(dir.path(), alarm, table, s, kYear, prompts));
    const std::string once = ReadFileBytes(AlarmsPath(dir.path()));
    EXPECT_EQ(once, "Wake up^12/8/2026^7:30:00 AM^\r\n");
    // Another header at the same moment is the same alarm.
    EXPECT_FALSE(AddAlarmToBin(dir.path(), {"Other", "12/8/2026", "7:30:00 AM"}, table, s, kYear, prompts));
    EXPECT_EQ(ReadFileBytes(AlarmsPath(dir.path())), once);
    EXPECT_EQ(prompts.shown, std::vector<std::string>{kDuplicateAlarm});
}

TEST(AddAlarmToBin, ExistingFileIsSortedAfterTheAppend) {
    TempDir dir;
    ScriptedPrompts prompts;
    SavedAlarmList table;
    WriteFileBytes(AlarmsPath(dir.path()),
                   "Late^12/9/2026^6:00:00 AM^\r\n"
                   "NoDate^^6:00:00 AM^\r\n"
                   "First twin^12/7/2026^8:00:00 PM^\r\n"
                   "Second twin^12/7/2026^8:00:00 PM^\r\n");
    EXPECT_TRUE(AddAlarmToBin(dir.path(), {"New", "12/8/2026", "7:30:00 AM"}, table, RegionalSettings{}, kYear,
                              prompts));
    EXPECT_EQ(ReadFileBytes(AlarmsPath(dir.path())),
              "First twin^12/7/2026^8:00:00 PM^\r\n"
              "Second twin^12/7/2026^8:00:00 PM^\r\n"
              "New^12/8/2026^7:30:00 AM^\r\n"
              "Late^12/9/2026^6:00:00 AM^\r\n");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST(AddAlarmToBin, MoreThanAThousandLinesLoseNothing) {
    TempDir dir;
    ScriptedPrompts prompts;
    SavedAlarmList table;
    std::string lines;
    for (int i = 0; i < 1200; ++i)
        lines += FormatBinLine("A" + std::to_string(i), "1/" + std::to_string(1 + i % 28) + "/2027",
                               std::to_string(1 + i % 12) + ":00:00 AM") + "\r\n";
    WriteFileBytes(AlarmsPath(dir.path()), lines);
    // Saved alarms share moments, so take one no line has.
    ASSERT_TRUE(AddAlarmToBin(dir.path(), {"New", "12/31/2026", "11:59:59 PM"}, table, RegionalSettings{}, kYear,
                              prompts));
    const SavedAlarmList stored = LoadSavedAlarms(AlarmsPath(dir.path()));
    ASSERT_EQ(stored.size(), 1201u);
    EXPECT_EQ(stored.front().header, "New");
}

TEST(AddAlarmToBin, UnreadableDateStopsTheSortWithTheFileAsAppended) {
    TempDir dir;
    ScriptedPrompts prompts;
    SavedAlarmList table;
    WriteFileBytes(AlarmsPath(dir.path()), "Bad^31/31/2026^6:00:00 AM^\r\nOk^12/9/2026^6:00:00 AM^\r\n");
    EXPECT_THROW(AddAlarmToBin(dir.path(), {"New", "12/8/2026", "7:30:00 AM"}, table, RegionalSettings{}, kYear,
                               prompts),
                 ConversionError);
    EXPECT_EQ(ReadFileBytes(AlarmsPath(dir.path())),
              "Bad^31/31/2026^6:00:00 AM^\r\nOk^12/9/2026^6:00:00 AM^\r\nNew^12/8/2026^7:30:00 AM^\r\n");
}

TEST(AddAlarmToBin, FullDiskStopsTheAdditionWithTheFileUnchanged) {
    TempDir dir;
    ScriptedPrompts prompts;
    SavedAlarmList table;
    const std::string before = "B^12/9/2026^6:00:00 AM^\r\nA^12/7/2026^6:00:00 AM^\r\n";
    WriteFileBytes(AlarmsPath(dir.path()), before);
    {
        testing::ScopedFileSizeLimit limit(before.size());
        EXPECT_THROW(AddAlarmToBin(dir.path(), {"New", "12/8/2026", "7:30:00 AM"}, table, RegionalSettings{},
                                   kYear, prompts),
                     OperationError);
    }
    EXPECT_EQ(ReadFileBytes(AlarmsPath(dir.path())), before);
}

TEST(AddAlarmToBin, HeaderWithCaretIsRefusedBeforeAnythingIsWritten) {
    TempDir dir;
    ScriptedPrompts prompts;
    SavedAlarmList table;
    EXPECT_THROW(AddAlarmToBin(dir.path(), {"a^b", "12/8/2026", "7:30:00 AM"}, table, RegionalSettings{}, kYear,
                               prompts),
                 OperationError);
    EXPECT_FALSE(FileExists(AlarmsPath(dir.path())));
}

}  // namespace
}  // namespace tolvenmark
