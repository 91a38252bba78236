#include "clock/tick_texts.h"

#include <gtest/gtest.h>

namespace tolvenmark {
namespace {

struct TickCase {
    const char* shortTime;
    int hour, minute, second;
    const char* mode;
    const char* time;
    const char* amPm;
    const char* alarmFormat;
};

class TickTextsTest : public ::testing::TestWithParam<TickCase> {};

TEST_P(TickTextsTest, TextsAndTheAlarmTimeShape) {
    const TickCase& c = GetParam();
    RegionalSettings settings;
    settings.shortTimeFormat = c.shortTime;
    settings.longTimeFormat = AlarmTimeFormatOf(c.shortTime, IsTwelveHourFormat(c.shortTime), ":");
    const DateTime now{2003, 9, 30, c.hour, c.minute, c.second, 0};
    // A dialog opened before the first tick sees what the tick would leave.
    RegionalSettings before = settings;
    EXPECT_EQ(AdoptAlarmTimeShape(before), c.mode);
    EXPECT_EQ(before.shortTimeFormat, c.alarmFormat);

    // The second tick starts from the alarm-time shape the first one left.
    for (int tick = 0; tick < 2; ++tick) {
        const TickTexts texts = ComputeTickTexts(now, settings);
        EXPECT_EQ(texts.clockMode, c.mode);
        EXPECT_EQ(texts.time, c.time);
        EXPECT_EQ(texts.amPm, c.amPm);
        EXPECT_EQ(texts.seconds.size(), 2u);
        EXPECT_EQ(texts.date, "September 30, 2003");
        EXPECT_EQ(settings.shortTimeFormat, c.alarmFormat);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, TickTextsTest,
    ::testing::Values(
        TickCase{"h:mm", 9, 5, 7, "24", " 9:05", "", "h:mm:ss"},
        TickCase{"h:mm", 10, 5, 0, "24", "10:05", "", "h:mm:ss"},
        TickCase{"h:mm", 0, 0, 0, "24", " 0:00", "", "h:mm:ss"},
        TickCase{"h:mm", 12, 0, 0, "24", "12:00", "", "h:mm:ss"},
        TickCase{"hh:mm", 9, 5, 7, "24", "09:05", "", "hh:mm:ss"},
        TickCase{"hh:mm", 0, 0, 0, "24", "00:00", "", "hh:mm:ss"},
        TickCase{"h:mm AMPM", 9, 5, 7, "12", " 9:05 ", "AM", "h:mm:ss AMPM"},
        TickCase{"h:mm AMPM", 21, 5, 7, "12", " 9:05 ", "PM", "h:mm:ss AMPM"},
        TickCase{"h:mm AMPM", 10, 5, 0, "12", "10:05 ", "AM", "h:mm:ss AMPM"},
        TickCase{"h:mm AMPM", 0, 0, 0, "12", "12:00 ", "AM", "h:mm:ss AMPM"},
        TickCase{"h:mm AMPM", 12, 0, 0, "12", "12:00 ", "PM", "h:mm:ss AMPM"},
        TickCase{"hh:mm AMPM", 9, 5, 7, "12", "09:05 ", "AM", "hh:mm:ss AMPM"},
        // A leading designator is not " AM": the 24-hour rules, the designator in TIME.
        TickCase{"AMPM h:mm", 9, 5, 7, "24", "AM 9:05", "", "AMPM h:mm:ss"},
        TickCase{"AMPM h:mm", 10, 5, 0, "24", "AM 10:05", "", "AMPM h:mm:ss"},
        TickCase{"AMPM h:mm", 0, 0, 0, "24", "AM 12:00", "", "AMPM h:mm:ss"},
        TickCase{"AMPM h:mm", 12, 0, 0, "24", "PM 12:00", "", "AMPM h:mm:ss"},
        // A short format that shows seconds keeps them.
        TickCase{"h:mm:ss", 9, 5, 7, "24", " 9:05", "", "h:mm:ss"}));

// The face's light says "AM" or "PM" by the hour whatever words the locale
// uses (Greek, Korean, German, and a PM word that holds "AM").
TEST(TickTextsTest, TheAmPmLightFollowsTheHourInEveryLanguage) {
    const std::pair<const char*, const char*> designators[] = {
        {"AM", "PM"}, {"\u03c0\u03bc", "\u03bc\u03bc"}, {"\uc624\uc804", "\uc624\ud6c4"}, {"vorm.", "nachm."}, {"X", "SPAM"}};
    const std::pair<int, const char*> hours[] = {{0, "AM"}, {11, "AM"}, {12, "PM"}, {23, "PM"}};
    for (const auto& [am, pm] : designators)
        for (const auto& [hour, light] : hours) {
            RegionalSettings settings;  // h:mm AMPM
            settings.amDesignator = am;
            settings.pmDesignator = pm;
            EXPECT_EQ(ComputeTickTexts({2026, 12, 7, hour, 59, 59, 0}, settings).amPm, light) << am << " " << hour;
        }
}

TEST(TickTextsTest, DateUsesTheLocaleMonthNames) {
    RegionalSettings settings;
    settings.longMonthNames[11] = "Dezember";
    settings.shortDateFormat = "dd.MM.yyyy";
    EXPECT_EQ(ComputeTickTexts({2026, 12, 7, 8, 0, 0, 0}, settings).date, "Dezember 7, 2026");
}

}  // namespace
}  // namespace tolvenmark
