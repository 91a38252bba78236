#include "app/command_handler.h"

#include <exception>

#include <QAction>
#include <QTimer>

#include "clock/config.h"
#include "clock/main_window.h"
#include "platform/clock.h"
#include "platform/date_time_text.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

namespace {

// The tray menu's switch, whichever way it stands now.
void SwitchAlarm(TForm1& form, bool on) {
    form.AlarmSet1->setChecked(!on);
    form.AlarmSet1Click();
}

std::vector<std::string> SetAlarm(TForm1& form, const ChannelRequest& request) {
    // A text the tick cannot read would stop every tick with an error box, so it
    // is refused here, and kept in the form the clock itself writes.
    RegionalSettings& settings = AppRegionalSettings();
    const std::string date = DateToStr(StrToDate(request.date, settings, AppClock().Now().year), settings);
    const std::string time = TimeToStr(StrToTime(request.time, settings), settings);
    const std::string header = request.header ? *request.header : form.pendingAlarm.header;

    WriteConfigKeysChecked({{"ALDATE", date}, {"ALTIME", time}, {"ALHEADER", header}});
    form.pendingAlarm = {header, date, time};
    form.SetDisplayText("AL_HEADER", header);
    form.SetDisplayText("AL_DATE", AlarmDateText(form.pendingAlarm));
    SwitchAlarm(form, true);
    return {"OK"};
}

}  // namespace

std::vector<std::string> AnswerClockRequest(TForm1& form, const ChannelRequest& request) {
    try {
        switch (request.command) {
            case ChannelCommand::Show:
                form.RestoreAlarmClock2Click();
                break;
            case ChannelCommand::Snooze:
                // Its notices are message boxes that wait for the user; the script should not.
                QTimer::singleShot(0, &form, [&form] {
                    form.SkinForm1MouseUpNotify("SNOOZE", Qt::LeftButton, Qt::NoModifier, 0, 0);
                });
                break;
            case ChannelCommand::AlarmOn:
                SwitchAlarm(form, true);
                break;
            case ChannelCommand::AlarmOff:
                SwitchAlarm(form, false);
                break;
            case ChannelCommand::Quit:
                // After this reply has left.
                QTimer::singleShot(0, &form, [&form] { form.Exit1Click(); });
                break;
            case ChannelCommand::Status: {
                const ClockStatus status{form.pendingAlarm.header, form.pendingAlarm.date, form.pendingAlarm.time,
                                         form.AlarmOnFlag, form.PlayerRunning()};
                std::vector<std::string> lines = FormatStatusLines(status);
                lines.push_back("OK");
                return lines;
            }
            case ChannelCommand::SetAlarm:
                return SetAlarm(form, request);
        }
    } catch (const std::exception& e) {
        return {std::string("ERROR ") + e.what()};
    }
    return {"OK"};
}

}  // namespace tolvenmark
