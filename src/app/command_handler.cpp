#include "app/command_handler.h"

#include <exception>
#include <functional>

#include <QCoreApplication>
#include <QTimer>

#include "clock/clock_commands.h"
#include "clock/tick_texts.h"
#include "platform/clock.h"
#include "platform/conversion_error.h"
#include "platform/date_time_text.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

namespace {

std::vector<std::string> Reply(const std::string& failure) {
    return {failure.empty() ? "OK" : "ERROR " + failure};
}

// After the reply has left: what it starts may show a box that waits for the user.
void Later(std::function<void()> action) { QTimer::singleShot(0, QCoreApplication::instance(), std::move(action)); }

std::vector<std::string> SetAlarm(ClockCommands& clock, const ChannelRequest& request) {
    // A text the tick cannot read would stop every tick with an error box, so it
    // is refused here, and kept in the form the clock itself writes.
    RegionalSettings& settings = AppRegionalSettings();
    const DateTime sample{2027, 12, 24, 18, 30, 0, 0};
    const DateTime now = AppClock().Now();
    DateTime day, at;
    try {
        day = StrToDate(request.date, settings, now.year);
    } catch (const ConversionError& e) {
        throw ConversionError(std::string(e.what()) + "; expected a date like " + DateToStr(sample, settings));
    }
    try {
        at = StrToTime(request.time, settings);
    } catch (const ConversionError& e) {
        throw ConversionError(std::string(e.what()) + "; expected a time like " + TimeToStr(sample, settings));
    }
    const std::string date = DateToStr(day, settings);
    // In the shape the face shows it (the tick's alarm-time format), so
    // --status and the face agree from the first second.
    RegionalSettings shape = settings;
    AdoptAlarmTimeShape(shape);
    const std::string time = FormatDateTime(shape.shortTimeFormat, at, shape);
    // Taken silently, an alarm in the past would never ring.
    if (DateTime{day.year, day.month, day.day, at.hour, at.minute, at.second, 0} <= now)
        throw OperationError(date + " at " + time + " has passed: an alarm set for it would never ring");
    const std::string header = request.header ? *request.header : clock.Pending().header;
    return Reply(clock.SetAlarm({header, date, time}));
}

}  // namespace

std::vector<std::string> AnswerClockRequest(ClockCommands& clock, const ChannelRequest& request) {
    try {
        switch (request.command) {
            case ChannelCommand::Show:
                clock.Show();
                break;
            case ChannelCommand::Snooze: {
                const std::string refused = clock.Snooze(true);
                if (!refused.empty()) return Reply(refused);
                break;
            }
            case ChannelCommand::AlarmOn:
                return Reply(clock.SwitchAlarm(true));
            case ChannelCommand::AlarmOff:
                return Reply(clock.SwitchAlarm(false));
            case ChannelCommand::Quit:
                Later([&clock] { clock.Quit(); });
                break;
            case ChannelCommand::Status: {
                const PendingAlarm& pending = clock.Pending();
                ClockStatus status{pending.header, pending.date, pending.time, clock.AlarmOn(),
                                   clock.PlayerRunning()};
                if (const auto until = clock.SnoozedUntil())
                    status.snooze = FormatDateTime("hh:nn:ss", *until, AppRegionalSettings());
                std::vector<std::string> lines = FormatStatusLines(status);
                lines.push_back("OK");
                return lines;
            }
            case ChannelCommand::SetAlarm:
                return SetAlarm(clock, request);
        }
    } catch (const std::exception& e) {
        return {std::string("ERROR ") + e.what()};
    }
    return {"OK"};
}

}  // namespace tolvenmark
