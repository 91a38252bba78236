#include <QCoreApplication>

#include <gtest/gtest.h>

#include "app/channel_buffer.h"
#include "app/channel_request.h"
#include "app/command_handler.h"
#include "clock/clock_commands.h"
#include "platform/clock.h"
#include "platform/regional_settings.h"
#include "support/app_seams.h"
#include "support/gui_app.h"
#include "support/scripted_prompts.h"

namespace tolvenmark {
namespace {

// The clock as a script reaches it; records each command it is given.
class RecordingCommands final : public ClockCommands {
public:
    std::string Snooze(bool) override { return Did("snooze", answer); }
    void Stop() override { Did("stop", ""); }
    std::string SwitchAlarm(bool on) override { return Did(on ? "on" : "off", answer); }
    std::string SetAlarm(const PendingAlarm& a) override { return Did("set " + a.header + "|" + a.date + "|" + a.time, ""); }
    void Show() override { Did("show", ""); }
    void Quit() override { Did("quit", ""); }
    const PendingAlarm& Pending() const override { return pending; }
    bool AlarmOn() const override { return true; }
    bool PlayerRunning() const override { return false; }
    std::optional<DateTime> SnoozedUntil() const override { return DateTime{2026, 12, 7, 7, 35, 0, 0}; }
    std::string Did(const std::string& what, const std::string& answer) { return calls += what + ";", answer; }

    PendingAlarm pending{"Wake", "12/8/2026", "7:00:00 AM"};
    std::string answer, calls;  // what the clock answers a snooze or a switch
};

struct SurfaceCase {
    const char* line;
    std::string answer;
    std::vector<std::string> reply;
    std::string calls;  // after the event loop ran
};

class CommandSurfaceTest : public ::testing::TestWithParam<SurfaceCase> {};

// One request, one command: what would only show a box is answered instead.
TEST_P(CommandSurfaceTest, EachRequestIsOneCommand) {
    const SurfaceCase& c = GetParam();
    testing::EnsureGuiApplication();
    FixedClock clock{DateTime{2026, 12, 7, 12, 0, 0, 0}};
    RegionalSettings settings;
    testing::ScriptedPrompts prompts;
    testing::ScopedAppSeams seams{clock, settings, prompts};
    RecordingCommands commands;
    commands.answer = c.answer;
    ChannelBuffer buffer;
    ASSERT_TRUE(buffer.Receive(std::string(c.line) + "\r\n"));
    const auto parsed = ParseChannelLine(*buffer.TakeLine());
    ASSERT_TRUE(parsed.request) << parsed.refusal;
    EXPECT_EQ(AnswerClockRequest(commands, *parsed.request), c.reply);
    QCoreApplication::processEvents();
    EXPECT_EQ(commands.calls, c.calls);
    EXPECT_TRUE(prompts.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Requests, CommandSurfaceTest,
    ::testing::Values(
        SurfaceCase{"SHOW", "", {"OK"}, "show;"},
        SurfaceCase{"SNOOZE", "", {"OK"}, "snooze;"},
        SurfaceCase{"SNOOZE", "No alarm was started to Snooze!",
                    {"ERROR No alarm was started to Snooze!"}, "snooze;"},
        SurfaceCase{"ALARM-OFF", "", {"OK"}, "off;"},
        SurfaceCase{"ALARM-ON", "The file : /x cannot be written.",
                    {"ERROR The file : /x cannot be written."}, "on;"},
        SurfaceCase{"QUIT", "", {"OK"}, "quit;"},
        SurfaceCase{"SET-ALARM\t12/24/2027\t18:30", "", {"OK"}, "set Wake|12/24/2027|6:30:00 PM;"},
        SurfaceCase{"SET-ALARM\t2/30/2027\t18:30", "",
                    {"ERROR '2/30/2027' is not a valid date; expected a date like 12/24/2027"}, ""},
        SurfaceCase{"SET-ALARM\t12/7/2026\t11:59:59", "",
                    {"ERROR 12/7/2026 at 11:59:59 AM has passed: an alarm set for it would never ring"}, ""},
        SurfaceCase{"STATUS", "",
                    {"header=Wake", "date=12/8/2026", "time=7:00:00 AM", "alarm=on", "player=stopped",
                     "snooze=07:35:00", "OK"},
                    ""}));

}  // namespace
}  // namespace tolvenmark
