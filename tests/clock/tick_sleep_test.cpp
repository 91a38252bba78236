#include "clock/tick_sleep.h"

#include <functional>

#include <QAction>
#include <QEventLoop>
#include <QPixmapCache>
#include <QTimer>
#include <gtest/gtest.h>

#include "clock/config.h"
#include "clock/main_window.h"
#include "support/app_seams.h"
#include "support/gui_app.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using Kind = TickPlan::Kind;

struct PlanRow {
    const char* what;
    TickPlanInput input;
    Kind kind;
    std::int64_t delayMs;
};

constexpr std::int64_t kPlanNow = 1'000'000'000'500;  // half a second into its second

TickPlanInput Hidden() {
    TickPlanInput input;
    input.shown = false;
    input.nowMs = kPlanNow;
    return input;
}

TickPlanInput With(std::function<void(TickPlanInput&)> change) {
    TickPlanInput input = Hidden();
    change(input);
    return input;
}

class TickPlanTable : public ::testing::TestWithParam<PlanRow> {};

TEST_P(TickPlanTable, NextTick) {
    const TickPlan plan = PlanNextTick(GetParam().input);
    EXPECT_EQ(plan.kind, GetParam().kind);
    if (plan.kind == Kind::At) {
        EXPECT_EQ(plan.delayMs, GetParam().delayMs);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TickPlanTable,
    ::testing::Values(
        PlanRow{"shown", With([](auto& i) { i.shown = true, i.alarmAt = kPlanNow / 1000 + 60; }), Kind::EverySecond, 0},
        PlanRow{"player", With([](auto& i) { i.playerRunning = true; }), Kind::EverySecond, 0},
        PlanRow{"nothing due", Hidden(), Kind::Sleep, 0},
        PlanRow{"alarm passed", With([](auto& i) { i.alarmAt = kPlanNow / 1000; }), Kind::Sleep, 0},
        PlanRow{"alarm", With([](auto& i) { i.alarmAt = kPlanNow / 1000 + 60; }), Kind::At, 59'502},
        PlanRow{"far alarm", With([](auto& i) { i.alarmAt = kPlanNow / 1000 + 86400; }), Kind::At, kLongestSleepMs},
        PlanRow{"snooze first", With([](auto& i) { i.alarmAt = kPlanNow / 1000 + 600, i.snoozeLeftMs = 60'000; }),
                Kind::At, 60'002},
        PlanRow{"launch delay", With([](auto& i) { i.launchLeftMs = 1'000; }), Kind::At, 1'002},
        PlanRow{"dial window", With([](auto& i) { i.alarmAt = kPlanNow / 1000 + 600, i.dialWindowAt = kPlanNow / 1000 + 480; }),
                Kind::At, 479'502}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) c = c == ' ' ? '_' : c;
        return name;
    });

// A change found after a sleep is taken as the tick of its own second takes
// it: an alarm set into the hour slept through does not ring late.
TEST(TickSleepCover, ChangeAfterASleepCoversOnlyItsSecond) {
    RegionalSettings settings;
    const PendingAlarm passed{"", "12/7/2026", "12:55:00 PM"};
    const PendingAlarm now{"", "12/7/2026", "1:00:00 PM"};
    for (const bool cover : {false, true}) {
        DueTest test;
        ASSERT_EQ(test.Check({2026, 12, 7, 12, 0, 0, 0}, true, passed, settings), DueVerdict::None);
        if (cover) test.CoverBefore({2026, 12, 7, 13, 0, 0, 0});
        DueTest second = test;
        EXPECT_EQ(test.Check({2026, 12, 7, 13, 0, 0, 0}, true, passed, settings),
                  cover ? DueVerdict::None : DueVerdict::Due);
        EXPECT_EQ(second.Check({2026, 12, 7, 13, 0, 0, 0}, true, now, settings), DueVerdict::Due);
    }
}

bool SpinUntil(const std::function<bool()>& done) {
    // A loop that waits for events, as the program's: the sleep looks for
    // changes each time it is about to wait.
    QEventLoop loop;
    QTimer poll;
    poll.callOnTimeout([&] {
        if (done()) loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

TEST(TickSleepWindow, HiddenTheTickWaitsForWhatIsDueAndShownItTicksAtOnce) {
    testing::EnsureGuiApplication();
    testing::TempDir dir;
    SetConfigPath(dir.File("TOLVENMARKCLOCK.INI"));
    testing::WriteFileBytes(ConfigPath(), "[ALARM]\nALDATE=12/7/2026\nALTIME=12:30:00 PM\n");
    FixedClock clock{DateTime{2026, 12, 7, 12, 0, 0, 0}};
    RegionalSettings settings;
    testing::ScriptedPrompts prompts;
    testing::ScopedAppSeams seams{clock, settings, prompts};
    TForm1 form;
    form.TrayAvailable = [] { return false; };
    StartupConfig config;
    config.appPath = dir.path();
    config.skin = "Default";
    config.alSet = "TRUE";
    form.FormCreate(config, {"Lunch", "12/7/2026", "12:30:00 PM"});
    auto* sleep = new TickSleep(form);
    form.show();
    ASSERT_TRUE(SpinUntil([&] { return !sleep->Hidden() && !form.ClockMode.empty(); }));

    form.hide();
    ASSERT_TRUE(SpinUntil([&] { return sleep->Hidden(); }));
    EXPECT_EQ(sleep->Plan().kind, Kind::At);
    EXPECT_EQ(sleep->Plan().wakeAt, FirstInstantOf({2026, 12, 7, 12, 30, 0, 0}, LocalZone::System()));

    // Switched off from the tray menu: nothing is due, no timer is armed (nor
    // the pixmap cache's, which never holds anything hidden).
    form.AlarmSet1->trigger();
    ASSERT_TRUE(SpinUntil([&] { return sleep->Plan().kind == Kind::Sleep; }));
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_FALSE(QPixmapCache::insert(QStringLiteral("tray"), QPixmap(16, 16)));

    form.ClockMode.clear();
    form.show();
    ASSERT_TRUE(SpinUntil([&] { return !form.ClockMode.empty(); }));
    EXPECT_EQ(sleep->Plan().kind, Kind::EverySecond);
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_TRUE(QPixmapCache::insert(QStringLiteral("shown"), QPixmap(16, 16)));
}

}  // namespace
}  // namespace tolvenmark
