#include "clock/due_test.h"

#include <gtest/gtest.h>

#include "platform/conversion_error.h"

namespace tolvenmark {
namespace {

// Days since 1970-01-01 of a civil date.
std::int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

Instant AsUtc(const DateTime& t) {
    return DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

DateTime FromUtc(Instant s) {
    std::int64_t days = s / 86400;
    std::int64_t rest = s % 86400;
    if (rest < 0) rest += 86400, --days;
    // Civil from days.
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int y = static_cast<int>(yoe + era * 400 + (m <= 2));
    return {y, m, d, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60), 0};
}

// A zone one hour ahead in summer: spring forward at 2:00 on 2026-03-29
// (to 3:00), back at 3:00 on 2026-10-25 (to 2:00), as mktime treats it.
LocalZone TestZone() {
    const Instant springUtc = AsUtc({2026, 3, 29, 2, 0, 0, 0});
    const Instant fallUtc = AsUtc({2026, 10, 25, 2, 0, 0, 0});  // 3:00 summer time
    LocalZone zone;
    zone.toInstant = [](const DateTime& local, int isDst) { return AsUtc(local) - (isDst > 0 ? 3600 : 0); };
    zone.toLocal = [=](Instant instant) {
        const bool inSummer = instant >= springUtc && instant < fallUtc;
        return FromUtc(instant + (inSummer ? 3600 : 0));
    };
    return zone;
}

PendingAlarm Alarm(const char* date, const char* time) { return {"Wake", date, time}; }

DateTime At(int y, int mo, int d, int h, int mi, int s) { return {y, mo, d, h, mi, s, 0}; }

DateTime Plus(const DateTime& t, Instant seconds) { return FromUtc(AsUtc(t) + seconds); }

struct Tick {
    Instant offset;  // seconds from 7:00:00 on 2026-12-07
    bool on;
    DueVerdict expected;
};

struct DueCase {
    const char* name;
    std::vector<Tick> ticks;
};

class DueTestTable : public ::testing::TestWithParam<DueCase> {};

TEST_P(DueTestTable, Verdicts) {
    RegionalSettings settings;
    DueTest test(TestZone());
    const DateTime alarmAt = At(2026, 12, 7, 7, 0, 0);
    const PendingAlarm alarm = Alarm("12/7/2026", "7:00:00 AM");
    int n = 0;
    for (const Tick& tick : GetParam().ticks) {
        EXPECT_EQ(test.Check(Plus(alarmAt, tick.offset), tick.on, alarm, settings), tick.expected)
            << "tick " << n << " at offset " << tick.offset;
        ++n;
    }
}

using V = DueVerdict;
INSTANTIATE_TEST_SUITE_P(
    Ticks, DueTestTable,
    ::testing::Values(
        DueCase{"On", {{-2, true, V::None}, {-1, true, V::None}, {0, true, V::Due}, {1, true, V::None}}},
        DueCase{"Off", {{-1, false, V::None}, {0, false, V::None}, {1, false, V::None}}},
        DueCase{"SwitchedOnAfterItsSecond", {{-1, false, V::None}, {0, false, V::None}, {1, true, V::None}}},
        DueCase{"CatchUpAfterASkippedSecond", {{-1, true, V::None}, {1, true, V::Due}, {2, true, V::None}}},
        DueCase{"TenMinutesLateStillRings", {{-1, true, V::None}, {600, true, V::Due}}},
        DueCase{"LaterIsMissed", {{-1, true, V::None}, {601, true, V::Missed}, {602, true, V::None}}},
        DueCase{"ClockSetBackNeverRingsTwice",
                {{-1, true, V::None}, {0, true, V::Due}, {5, true, V::None}, {-60, true, V::None},
                 {-1, true, V::None}, {0, true, V::None}, {1, true, V::None}}},
        DueCase{"ClockSetForwardOverTheAlarm", {{-3600, true, V::None}, {3, true, V::Due}}},
        DueCase{"FirstTickAfterTheAlarmSecond", {{1, true, V::None}, {2, true, V::None}}},
        DueCase{"TwoTicksInOneSecond", {{0, true, V::Due}, {0, true, V::None}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Daylight saving: the jump is compared as instants, not as wall-clock texts.
TEST(DueTestDst, AlarmInTheSkippedHourRingsAtTheJump) {
    RegionalSettings settings;
    DueTest test(TestZone());
    const PendingAlarm alarm = Alarm("3/29/2026", "2:30:00 AM");
    EXPECT_EQ(test.Check(At(2026, 3, 29, 1, 59, 59), true, alarm, settings), DueVerdict::None);
    EXPECT_EQ(test.Check(At(2026, 3, 29, 3, 0, 0), true, alarm, settings), DueVerdict::Due);
    EXPECT_EQ(test.Check(At(2026, 3, 29, 3, 0, 1), true, alarm, settings), DueVerdict::None);
}

TEST(DueTestDst, AlarmInTheRepeatedHourRingsOnce) {
    RegionalSettings settings;
    const LocalZone zone = TestZone();
    DueTest test(zone);
    const PendingAlarm alarm = Alarm("10/25/2026", "2:30:00 AM");
    // Tick every second through both passes of 2:00 to 3:00, on instants.
    const Instant start = FirstInstantOf(At(2026, 10, 25, 1, 59, 0), zone);
    int due = 0;
    for (Instant t = start; t < start + 2 * 3600 + 120; ++t) {
        if (test.Check(zone.toLocal(t), true, alarm, settings) == DueVerdict::Due) ++due;
    }
    EXPECT_EQ(due, 1);
}

TEST(DueTestDst, FirstInstantOfNormalAndRepeatedTimes) {
    const LocalZone zone = TestZone();
    EXPECT_EQ(FirstInstantOf(At(2026, 12, 7, 7, 0, 0), zone), AsUtc(At(2026, 12, 7, 7, 0, 0)));
    // Of the two 2:30s the summer-time one comes first.
    EXPECT_EQ(FirstInstantOf(At(2026, 10, 25, 2, 30, 0), zone), AsUtc(At(2026, 10, 25, 1, 30, 0)));
    // Inside the gap: the first instant of 3:00.
    EXPECT_EQ(FirstInstantOf(At(2026, 3, 29, 2, 30, 0), zone), AsUtc(At(2026, 3, 29, 2, 0, 0)));
}

TEST(DueTestErrors, UnreadableDateThrowsAndTheClockMovesOn) {
    RegionalSettings settings;
    DueTest test(TestZone());
    const DateTime t = At(2026, 12, 7, 7, 0, 0);
    EXPECT_THROW(test.Check(Plus(t, -1), true, Alarm("31/31/2026", "7:00:00 AM"), settings), ConversionError);
    EXPECT_THROW(test.Check(t, true, Alarm("12/7/2026", "7:00:xx"), settings), ConversionError);
    // Mended, the alarm of this very second still rings once.
    EXPECT_EQ(test.Check(Plus(t, 1), true, Alarm("12/7/2026", "7:00:01 AM"), settings), DueVerdict::Due);
}

struct PastCase {
    const char* date;
    const char* time;
    bool past;
};

class PendingAlarmIsPastTest : public ::testing::TestWithParam<PastCase> {};

TEST_P(PendingAlarmIsPastTest, AtStartUp) {
    RegionalSettings settings;
    const PastCase& c = GetParam();
    EXPECT_EQ(PendingAlarmIsPast({"Wake", c.date, c.time}, At(2026, 12, 7, 12, 0, 0), settings), c.past);
}

INSTANTIATE_TEST_SUITE_P(StartUp, PendingAlarmIsPastTest,
                         ::testing::Values(PastCase{"12/6/2026", "11:00:00 PM", true}, PastCase{"12/6/2026", "", true}, PastCase{"12/7/2026", "", false},
                                           PastCase{"1/1/2020", "7:00:00 AM", true},
                                           PastCase{"12/7/2026", "11:59:59 AM", true},
                                           PastCase{"12/7/2026", "12:00:00 PM", false},  // rings on the first tick
                                           PastCase{"12/7/2026", "12:00:01 PM", false},
                                           PastCase{"12/8/2026", "7:00:00 AM", false},
                                           PastCase{"", "", false}));

}  // namespace
}  // namespace tolvenmark
