#include "clock/wake_alarm.h"

#include <vector>

#include <gtest/gtest.h>

namespace tolvenmark {
namespace {

constexpr Instant kNow = 1000000;
constexpr std::optional<Instant> kNone;

struct WakeCase {
    std::optional<Instant> alarm, relaunch, wake;
};

class EarliestWakeTable : public ::testing::TestWithParam<WakeCase> {};

TEST_P(EarliestWakeTable, AMinuteEarlyOrAtTheSecondOnceThatMinuteBegan) {
    EXPECT_EQ(EarliestWake(kNow, GetParam().alarm, GetParam().relaunch), GetParam().wake);
}

INSTANTIATE_TEST_SUITE_P(Cases, EarliestWakeTable, ::testing::Values(
    WakeCase{kNow + 3600, kNone, kNow + 3540}, WakeCase{kNow + 61, kNone, kNow + 1},
    WakeCase{kNow + 60, kNone, kNow + 60}, WakeCase{kNow, kNone, kNone}, WakeCase{kNone, kNone, kNone},
    WakeCase{kNone, kNow + 300, kNow + 240}, WakeCase{kNow + 3600, kNow + 300, kNow + 240},
    WakeCase{kNow + 30, kNow + 300, kNow + 30}, WakeCase{kNow - 100, kNow + 300, kNow + 240}));

// Looks at the snooze timer: active, remaining, monotonic and boot time (ms).
struct SnoozeCase {
    std::string name;
    std::vector<SnoozeRelaunch::Look> looks;
    std::optional<std::int64_t> lastCorrection, leftAfter;
};

class SnoozeRelaunchTable : public ::testing::TestWithParam<SnoozeCase> {};

TEST_P(SnoozeRelaunchTable, KeepsToTimeCountingSleep) {
    SnoozeRelaunch relaunch;
    std::optional<std::int64_t> correction;
    for (const auto& look : GetParam().looks) correction = relaunch.Observe(look);
    EXPECT_EQ(correction, GetParam().lastCorrection);
    EXPECT_EQ(relaunch.LeftMs(GetParam().looks.back().bootMs), GetParam().leftAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, SnoozeRelaunchTable, ::testing::Values(
    SnoozeCase{"Awake", {{true, 300000, 0, 0}, {true, 240000, 60000, 60000}}, kNone, 240000},
    SnoozeCase{"Slept", {{true, 300000, 0, 0}, {true, 240000, 60000, 150000}}, 150000, 150000},
    SnoozeCase{"SleptPastIt", {{true, 300000, 0, 0}, {true, 240000, 60000, 900000}}, 0, 0},
    SnoozeCase{"CorrectedOnce", {{true, 300000, 0, 0}, {true, 240000, 60000, 150000}, {true, 149000, 61000, 151000}},
               kNone, 149000},
    SnoozeCase{"SnoozedAgain", {{true, 300000, 0, 0}, {true, 300000, 100000, 100000}}, kNone, 300000},
    SnoozeCase{"Stopped", {{true, 300000, 0, 0}, {false, 0, 1000, 1000}}, kNone, kNone}),
    [](const auto& info) { return info.param.name; });

// Three starts in any hour: the fourth waits until the first is an hour old.
TEST(StartBudgetTest, CountsTheLastHourNotTheWholeLife) {
    constexpr std::int64_t kHour = 3600000;
    StartBudget budget(3);
    std::vector<bool> taken;
    for (const std::int64_t at : std::initializer_list<std::int64_t>{0, 10, 20, 30, kHour - 1, kHour, kHour + 15, kHour + 19, kHour + 20, 5 * kHour})
        taken.push_back(budget.Take(at));
    EXPECT_EQ(taken, (std::vector<bool>{true, true, true, false, false, true, true, false, true, true}));
}

}  // namespace
}  // namespace tolvenmark
