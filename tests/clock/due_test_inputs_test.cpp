#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "clock/due_test.h"

namespace tolvenmark {
namespace {

// Seconds since 1970 of a civil time read as UTC, and back.
Instant Naive(const DateTime& t) {
    using namespace std::chrono;
    const sys_days day = year{t.year} / t.month / t.day;
    return day.time_since_epoch().count() * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

DateTime FromNaive(Instant s) {
    using namespace std::chrono;
    const year_month_day day{sys_days{days{s / 86400}}};
    const int rest = static_cast<int>(s % 86400);
    return {static_cast<int>(day.year()), static_cast<int>(static_cast<unsigned>(day.month())),
            static_cast<int>(static_cast<unsigned>(day.day())), rest / 3600, rest / 60 % 60, rest % 60, 0};
}

// A zone without daylight saving whose offset the test may move, as when the
// user picks another time zone while the clock runs.
struct MovableZone {
    std::shared_ptr<Instant> offset = std::make_shared<Instant>(0);
    LocalZone Zone() const {
        LocalZone zone;
        auto shift = offset;
        zone.toInstant = [shift](const DateTime& local, int) { return Naive(local) - *shift; };
        zone.toLocal = [shift](Instant instant) { return FromNaive(instant + *shift); };
        return zone;
    }
};

struct Inputs {
    Instant offset;  // the zone's offset from UTC in seconds
    const char* dateFormat;
    const char* date;
    const char* time;
};

struct InputTick {
    Instant utc;  // seconds from 2026-12-07 7:00:00 UTC
    DueVerdict expected;
};

struct InputCase {
    const char* name;
    Inputs before;
    std::vector<InputTick> ticksBefore;
    Inputs after;
    std::vector<InputTick> ticksAfter;
};

class DueTestInputsTest : public ::testing::TestWithParam<InputCase> {};

// A converted alarm is reused only while everything it was read with stays.
TEST_P(DueTestInputsTest, Follows) {
    MovableZone movable;
    DueTest test(movable.Zone());
    const Instant base = Naive({2026, 12, 7, 7, 0, 0, 0});
    auto run = [&](const Inputs& inputs, const std::vector<InputTick>& ticks, const char* phase) {
        *movable.offset = inputs.offset;
        RegionalSettings settings;
        settings.shortDateFormat = inputs.dateFormat;
        const PendingAlarm alarm{"Wake", inputs.date, inputs.time};
        for (const InputTick& tick : ticks) {
            const DateTime now = FromNaive(base + tick.utc + inputs.offset);
            EXPECT_EQ(test.Check(now, true, alarm, settings), tick.expected) << phase << " tick at " << tick.utc;
        }
    };
    run(GetParam().before, GetParam().ticksBefore, "before");
    run(GetParam().after, GetParam().ticksAfter, "after");
}

using V = DueVerdict;
INSTANTIATE_TEST_SUITE_P(
    Changes, DueTestInputsTest,
    ::testing::Values(
        InputCase{"Unchanged",
                  {0, "M/d/yyyy", "12/7/2026", "7:00:00 AM"}, {{-2, V::None}},
                  {0, "M/d/yyyy", "12/7/2026", "7:00:00 AM"}, {{-1, V::None}, {0, V::Due}, {1, V::None}}},
        // An hour west: 7:00 local comes an hour later than it was read.
        InputCase{"ZoneMovedWest",
                  {0, "M/d/yyyy", "12/7/2026", "7:00:00 AM"}, {{-2, V::None}},
                  {-3600, "M/d/yyyy", "12/7/2026", "7:00:00 AM"},
                  {{-1, V::None}, {0, V::None}, {3599, V::None}, {3600, V::Due}}},
        InputCase{"DateOrderChanged",
                  {0, "M/d/yyyy", "7/12/2026", "7:00:00 AM"}, {{-2, V::None}},
                  {0, "d/M/yyyy", "7/12/2026", "7:00:00 AM"}, {{-1, V::None}, {0, V::Due}}},
        InputCase{"TimeMoved",
                  {0, "M/d/yyyy", "12/7/2026", "7:00:05 AM"}, {{-2, V::None}},
                  {0, "M/d/yyyy", "12/7/2026", "7:00:00 AM"}, {{-1, V::None}, {0, V::Due}, {5, V::None}}},
        InputCase{"DateMoved",
                  {0, "M/d/yyyy", "12/8/2026", "7:00:00 AM"}, {{-2, V::None}},
                  {0, "M/d/yyyy", "12/7/2026", "7:00:00 AM"}, {{-1, V::None}, {0, V::Due}}},
        // A date without a year is this year's: at New Year it is read again.
        InputCase{"NewYearRereadsADateWithoutYear",
                  {0, "M/d/yyyy", "1/1", "12:00:05 AM"}, {{-2, V::None}},
                  {0, "M/d/yyyy", "1/1", "12:00:05 AM"},
                  {{Naive({2026, 12, 31, 23, 59, 59, 0}) - Naive({2026, 12, 7, 7, 0, 0, 0}), V::None},
                   {Naive({2027, 1, 1, 0, 0, 5, 0}) - Naive({2026, 12, 7, 7, 0, 0, 0}), V::Due}}}),
    [](const auto& info) { return std::string(info.param.name); });

// One hour ahead in summer: forward at 2:00 on 2026-03-29, back at 3:00 on
// 2026-10-25, as mktime treats it.
LocalZone SummerZone() {
    const Instant spring = Naive({2026, 3, 29, 2, 0, 0, 0});
    const Instant fall = Naive({2026, 10, 25, 2, 0, 0, 0});
    LocalZone zone;
    zone.toInstant = [](const DateTime& local, int isDst) { return Naive(local) - (isDst > 0 ? 3600 : 0); };
    zone.toLocal = [=](Instant instant) { return FromNaive(instant + (instant >= spring && instant < fall ? 3600 : 0)); };
    return zone;
}

struct WalkCase {
    const char* name;
    DateTime alarm;
    int secondsPerTick;
};

class DueTestWalkTest : public ::testing::TestWithParam<WalkCase> {};

// Ticking through a transition, the alarm rings once, at its first instant.
TEST_P(DueTestWalkTest, RingsOnce) {
    const LocalZone zone = SummerZone();
    const WalkCase& c = GetParam();
    DueTest test(zone);
    RegionalSettings settings;
    settings.longTimeFormat = "h:mm:ss AMPM";
    char date[32], time[32];
    std::snprintf(date, sizeof date, "%d/%d/%d", c.alarm.month, c.alarm.day, c.alarm.year);
    std::snprintf(time, sizeof time, "%d:%02d:%02d", c.alarm.hour, c.alarm.minute, c.alarm.second);
    const PendingAlarm alarm{"Wake", date, time};
    const Instant expected = FirstInstantOf(c.alarm, zone);
    std::vector<Instant> rang;
    for (Instant t = expected - 2 * 3600; t < expected + 2 * 3600; t += c.secondsPerTick) {
        if (test.Check(zone.toLocal(t), true, alarm, settings) == DueVerdict::Due) rang.push_back(t);
    }
    ASSERT_EQ(rang.size(), 1u);
    EXPECT_GE(rang[0], expected);
    EXPECT_LT(rang[0], expected + c.secondsPerTick);
}

INSTANTIATE_TEST_SUITE_P(
    Transitions, DueTestWalkTest,
    ::testing::Values(WalkCase{"BeforeTheJump", {2026, 3, 29, 1, 59, 59, 0}, 1},
                      WalkCase{"InTheSkippedHour", {2026, 3, 29, 2, 30, 0, 0}, 1},
                      WalkCase{"AtTheJump", {2026, 3, 29, 3, 0, 0, 0}, 1},
                      WalkCase{"RepeatedHourStart", {2026, 10, 25, 2, 0, 0, 0}, 1},
                      WalkCase{"RepeatedHourMiddle", {2026, 10, 25, 2, 30, 0, 0}, 1},
                      WalkCase{"RepeatedHourEnd", {2026, 10, 25, 2, 59, 59, 0}, 1},
                      WalkCase{"AfterTheRepeat", {2026, 10, 25, 3, 0, 0, 0}, 1},
                      WalkCase{"RepeatedHourLateTicks", {2026, 10, 25, 2, 30, 1, 0}, 2},
                      WalkCase{"SkippedHourSlowTicks", {2026, 3, 29, 2, 0, 1, 0}, 3}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tolvenmark
