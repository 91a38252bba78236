#include "bin/schedule.h"

#include <gtest/gtest.h>

#include "platform/conversion_error.h"
#include "platform/folders.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

constexpr DateTime kToday{2003, 4, 15, 9, 0, 0, 0};

ScheduleRequest Daily(const char* start, int days) {
    ScheduleRequest r;
    r.startDate = start;
    r.days = days;
    r.time = "7:30:00 AM";
    return r;
}

ScheduleRequest Monthly(const char* start, int day, int months) {
    ScheduleRequest r;
    r.interval = ScheduleInterval::MonthlyByDay;
    r.startDate = start;
    r.dayOfMonth = day;
    r.months = months;
    r.time = "7:30:00 AM";
    return r;
}

ScheduleRequest Weekly(const char* start, std::array<bool, 7> days, int weeks) {
    ScheduleRequest r;
    r.interval = ScheduleInterval::Weekly;
    r.startDate = start;
    r.weekdays = days;
    r.weeks = weeks;
    r.time = "7:30:00 AM";
    return r;
}

std::vector<std::string> Dates(const SavedAlarmList& alarms) {
    std::vector<std::string> dates;
    for (const auto& a : alarms) dates.push_back(a.date);
    return dates;
}

struct ScheduleCase {
    ScheduleRequest request;
    DateTime today;
    std::vector<std::string> dates;  // written, in order
    const char* proves;
};

class ScheduleSeriesTest : public ::testing::TestWithParam<ScheduleCase> {};

TEST_P(ScheduleSeriesTest, AppendsTheSeries) {
    const ScheduleCase& c = GetParam();
    SCOPED_TRACE(c.proves);
    TempDir dir;
    const std::string path = dir.File("Alarms.txt");
    const RegionalSettings settings;
    EXPECT_EQ(SetSchedule(c.request, path, c.today, settings), static_cast<int>(c.dates.size()));
    ASSERT_TRUE(FileExists(path)) << "the file is created even when nothing is written";
    const SavedAlarmList written = LoadSavedAlarms(path);
    EXPECT_EQ(Dates(written), c.dates);
    for (const auto& a : written) EXPECT_EQ(a.time, "7:30:00 AM");
}

std::vector<std::string> DaysOfApril(int from, int to) {
    std::vector<std::string> dates;
    for (int d = from; d <= to; ++d) dates.push_back("4/" + std::to_string(d) + "/2003");
    return dates;
}

constexpr std::array<bool, 7> kMondayOnly{false, true, false, false, false, false, false};
constexpr std::array<bool, 7> kWednesdayFriday{false, false, false, true, false, true, false};

INSTANTIATE_TEST_SUITE_P(
    Examples, ScheduleSeriesTest,
    ::testing::Values(
        ScheduleCase{Daily("4/20/2003", 15), kToday, DaysOfApril(20, 30),
                     "daily days are not carried into May"},
        ScheduleCase{Daily("4/20/2003", 365), kToday, DaysOfApril(20, 30), "365 days still end with the month"},
        ScheduleCase{Daily("4/10/2003", 2), kToday, {"4/15/2003", "4/16/2003"}, "start moved up to today"},
        ScheduleCase{Daily("3/20/2003", 1), kToday, {"4/20/2003"}, "month moved to this month, day kept"},
        ScheduleCase{Daily("12/25/2002", 1), kToday, {"12/25/2003"}, "year moved up, later month kept"},
        ScheduleCase{Daily("1/31/2003", 5), kToday, {}, "day 31 of April gives nothing"},
        ScheduleCase{Weekly("4/16/2003", kMondayOnly, 2), kToday, {"4/21/2003", "4/28/2003"},
                     "weekly from Wednesday with Monday ticked starts the next Sunday"},
        ScheduleCase{Weekly("4/16/2003", kWednesdayFriday, 2), kToday,
                     {"4/16/2003", "4/18/2003", "4/23/2003", "4/25/2003"},
                     "a ticked start day is the first line; 7 x W days from it"},
        ScheduleCase{Weekly("12/29/2003", kMondayOnly, 2), kToday, {"12/29/2003", "1/5/2004"},
                     "weekly series run on into the next year"},
        ScheduleCase{Monthly("4/10/2003", 25, 3), kToday, {"4/25/2003", "5/25/2003", "6/25/2003"},
                     "day 25 after today starts this month"},
        ScheduleCase{Monthly("4/20/2003", 25, 3), kToday, {"5/25/2003", "6/25/2003", "7/25/2003"},
                     "a start day after today moves to next month"},
        ScheduleCase{Monthly("4/10/2003", 5, 1), kToday, {"5/5/2003"}, "a chosen day before today: next month"},
        ScheduleCase{Monthly("4/1/2004", 31, 6), kToday, {"5/31/2004", "7/31/2004", "8/31/2004"},
                     "months without day 31 are skipped"},
        ScheduleCase{Monthly("11/1/2003", 1, 24), kToday, {"11/1/2003", "12/1/2003"},
                     "months are not carried past December"},
        ScheduleCase{Monthly("12/1/2003", 5, 3), DateTime{2003, 12, 20, 9, 0, 0, 0}, {},
                     "month 13 gives nothing"}));

TEST(SetSchedule, SecondIdenticalRunWritesNothingWhateverTheHeader) {
    TempDir dir;
    const std::string path = dir.File("Alarms.txt");
    const RegionalSettings settings;
    ScheduleRequest request = Daily("4/20/2003", 15);
    request.header = "Work";
    ASSERT_EQ(SetSchedule(request, path, kToday, settings), 11);
    const std::string before = ReadFileBytes(path);
    request.header = "Other";
    EXPECT_EQ(SetSchedule(request, path, kToday, settings), 0);
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST(SetSchedule, SkipsOnlyExactDateAndTimeTextsOfTheFileAsItWas) {
    TempDir dir;
    const std::string path = dir.File("Alarms.txt");
    WriteFileBytes(path, "Old^4/21/2003^7:30:00 AM^\r\nOld^4/22/2003^07:30:00 AM^\r\nbroken line\r\n");
    const RegionalSettings settings;
    EXPECT_EQ(SetSchedule(Daily("4/20/2003", 3), path, kToday, settings), 2);
    const SavedAlarmList all = LoadSavedAlarms(path);
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[2].header, "broken line") << "old lines stay in place";
    EXPECT_EQ(all[3].date, "4/20/2003");
    EXPECT_EQ(all[4].date, "4/22/2003") << "07:30:00 AM is another time text";
}

TEST(SetSchedule, WeeklyStartThatDoesNotExistStopsBeforeTheFile) {
    TempDir dir;
    const std::string path = dir.File("Alarms.txt");
    const RegionalSettings settings;
    // 1/31 moves to day 31 of April.
    EXPECT_THROW(SetSchedule(Weekly("1/31/2003", kMondayOnly, 1), path, kToday, settings), ConversionError);
    EXPECT_FALSE(FileExists(path));
}

TEST(SetSchedule, UnreadableStartDateWritesNothing) {
    TempDir dir;
    const std::string path = dir.File("Alarms.txt");
    EXPECT_THROW(SetSchedule(Daily("tomorrow", 3), path, kToday, RegionalSettings{}), ConversionError);
    EXPECT_FALSE(FileExists(path));
}

TEST(SetSchedule, HeaderWithCaretIsRefusedNotWritten) {
    TempDir dir;
    const std::string path = dir.File("Alarms.txt");
    ScheduleRequest request = Daily("4/20/2003", 3);
    request.header = "a^b";
    EXPECT_THROW(SetSchedule(request, path, kToday, RegionalSettings{}), OperationError);
    EXPECT_EQ(ReadFileBytes(path), "");
}

TEST(BuildDateText, FollowsTheDateOrderCode) {
    RegionalSettings settings;
    settings.dateSeparator = ".";
    EXPECT_EQ(BuildDateText(2003, 4, 31, 213, settings), "31.4.2003");
    EXPECT_EQ(BuildDateText(2003, 4, 5, 321, settings), "2003.5.4");
    EXPECT_EQ(BuildDateText(2003, 4, 5, 123, settings), "4.5.2003");
}

TEST(ScheduleDates, DayFirstFormatWritesItsOwnTexts) {
    RegionalSettings settings;
    settings.shortDateFormat = "dd.MM.yyyy";
    settings.dateSeparator = ".";
    ScheduleRequest request = Daily("29.04.2003", 3);
    const ScheduleStart start = AdjustScheduleStart(request, kToday, settings);
    EXPECT_EQ(ScheduleDates(request, start, settings),
              (std::vector<std::string>{"29.04.2003", "30.04.2003"}));
}

}  // namespace
}  // namespace tolvenmark
