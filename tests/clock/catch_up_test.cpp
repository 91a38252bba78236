// Saved alarms that a late launch rang over are caught up, each once; alarms
// a large jump passed over are reported and skipped; a clock set back rings
// nothing twice.
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "clock/config.h"
#include "clock/main_window.h"
#include "platform/file_faults.h"
#include "platform/clock.h"
#include "platform/regional_settings.h"
#include "support/app_seams.h"
#include "support/gui_app.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

// Seconds after noon on 12/7/2026, the day of every alarm here.
std::string TimeText(int s) {
    return "12:" + std::string(s / 60 < 10 ? "0" : "") + std::to_string(s / 60) + ":" +
           (s % 60 < 10 ? "0" : "") + std::to_string(s % 60) + " PM";
}
DateTime At(int s) { return {2026, 12, 7, 12, s / 60, s % 60, 0}; }

struct TickRun {
    int from;  // ticks every second from..to
    int to;
};

struct CatchUpCase {
    const char* name;
    std::vector<int> saved;       // the saved alarms, the first of them pending
    std::vector<TickRun> ticks;   // a gap between two runs is a jump or a stop
    int firstLaunchDelay;         // seconds from the first ring to its succession step; 1 for the others
    std::vector<int> rung;        // in order
    std::string notification;
};

void PrintTo(const CatchUpCase& c, std::ostream* os) { *os << c.name; }

class CatchUpTest : public ::testing::TestWithParam<CatchUpCase> {
protected:
    void SetUp() override { SetConfigPath(dir.File("TOLVENMARKCLOCK.INI")); }

    bool appReady = (testing::EnsureGuiApplication(), true);
    TempDir dir;
    FixedClock clock{At(0)};
    RegionalSettings settings;
    testing::ScriptedPrompts prompts;
    testing::ScopedAppSeams seams{clock, settings, prompts};
    TForm1 form;
};

TEST_P(CatchUpTest, RingsEachAlarmAtMostOnce) {
    const CatchUpCase& c = GetParam();
    std::string lines;
    for (int s : c.saved) lines += "A" + std::to_string(s) + "^12/7/2026^" + TimeText(s) + "^\r\n";
    WriteFileBytes(dir.File("Alarms.txt"), lines);
    const PendingAlarm first{"A" + std::to_string(c.saved[0]), "12/7/2026", TimeText(c.saved[0])};
    WriteFileBytes(ConfigPath(), "[ALARM]\nAPPPATH=" + dir.path() + "\nCHANGEALARM=Yes\nDELETEALARM=Yes\n");
    StartupConfig config;
    config.appPath = dir.path();
    config.skin = "Default";
    config.alSet = "TRUE";
    config.alHeader = first.header;
    config.alDate = first.date;
    config.alTime = first.time;
    form.TrayAvailable = [] { return false; };
    clock.Set(At(c.ticks.front().from));
    form.FormCreate(config, first);

    std::vector<int> rung;
    std::optional<int> launchAt;  // a launch in progress ends with the succession step
    int launchDelay = c.firstLaunchDelay;
    form.SetupAlarmHook = [&] {
        rung.push_back(std::stoi(form.pendingAlarm.header.substr(1)));
        launchAt = 0;
    };
    for (const TickRun& run : c.ticks) {
        for (int s = run.from; s <= run.to; ++s) {
            clock.Set(At(s));
            form.Timer1Timer();
            if (launchAt && (*launchAt)++ == launchDelay) {
                launchAt.reset();
                launchDelay = 1;
                form.UpdateAlarm();
            }
        }
    }
    EXPECT_EQ(rung, c.rung);
    EXPECT_EQ(form.lastNotification, c.notification);
    // Every alarm that rang left the file; the skipped ones stay.
    const std::string left = ReadFileBytes(dir.File("Alarms.txt"));
    for (int s : c.rung) EXPECT_EQ(left.find("A" + std::to_string(s) + "^"), std::string::npos) << s;
}

// A full disk at the step after a long jump: the miss is still told, and the error.
TEST_F(CatchUpTest, MissIsToldWhenTheFileCannotBeWritten) {
    WriteFileBytes(dir.File("Alarms.txt"), "A10^12/7/2026^" + TimeText(10) + "^\r\nA1500^12/7/2026^" + TimeText(1500) + "^\r\n");
    WriteFileBytes(ConfigPath(), "[ALARM]\nAPPPATH=" + dir.path() + "\nCHANGEALARM=Yes\nDELETEALARM=Yes\n");
    StartupConfig config;
    config.appPath = dir.path();
    config.skin = "Default";
    config.alSet = "TRUE";
    form.TrayAvailable = [] { return false; };
    form.FormCreate(config, {"A10", "12/7/2026", TimeText(10)});
    form.Timer1Timer();
    SetFileFaultHook([](FileStep step, const std::string&) { return step == FileStep::Write ? ENOSPC : 0; });
    clock.Set(At(1205));
    EXPECT_ANY_THROW(form.Timer1Timer());
    SetFileFaultHook({});
    EXPECT_EQ(form.lastNotification, "Missed alarm: A10 (12/7/2026 at 12:00:10 PM)");
    EXPECT_EQ(form.pendingAlarm.header, "A1500");
}

INSTANTIATE_TEST_SUITE_P(
    Jumps, CatchUpTest,
    ::testing::Values(
        CatchUpCase{"OnTime", {10, 20, 30}, {{0, 40}}, 1, {10, 20, 30}, ""},
        // Forward by 3 minutes: the pending alarm and every one inside the jump ring late, in order.
        CatchUpCase{"ForwardThreeMinutes", {10, 40, 80, 120, 300}, {{0, 5}, {185, 305}}, 1, {10, 40, 80, 120, 300}, ""},
        // Forward by 20 minutes: all of them are older than the catch-up window.
        CatchUpCase{"ForwardTwentyMinutes",
                    {10, 300, 600, 1500},
                    {{0, 5}, {1205, 1505}},
                    1,
                    {1500},
                    "Missed alarm: A10 (12/7/2026 at 12:00:10 PM) and 2 more"},
        // Set back by 2 minutes after the first rang: the next ones ring once, at their time.
        CatchUpCase{"BackTwoMinutes", {130, 140, 320}, {{120, 135}, {15, 325}}, 1, {130, 140, 320}, ""},
        // Stopped for 5 s over two alarms close together.
        CatchUpCase{"StoppedFiveSeconds", {10, 12, 30}, {{0, 9}, {15, 31}}, 1, {10, 12, 30}, ""},
        // A message box answered 13 minutes late: what lies in the window is caught up.
        CatchUpCase{"LaunchEndsLate", {10, 120, 400, 700, 900}, {{0, 910}}, 780, {10, 400, 700, 900}, ""},
        // A start-up after the pending alarm's time: it is not caught up.
        CatchUpCase{"PendingAlreadyPast", {10, 100}, {{60, 110}}, 1, {100}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tolvenmark
