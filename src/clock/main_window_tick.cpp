// The one-second tick of TForm1.
#include <QTimer>

#include "clock/main_window.h"
#include "clock/succession.h"
#include "clock/tick_texts.h"
#include "platform/clock.h"
#include "platform/conversion_error.h"
#include "platform/date_time_text.h"
#include "platform/prompts.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

void TForm1::Timer1Timer() {
    if (TickHook) TickHook();
    RegionalSettings& settings = AppRegionalSettings();
    const DateTime now = AppClock().Now();
    const TickTexts texts = ComputeTickTexts(now, settings);
    ClockMode = texts.clockMode;
    SetDisplayText("AM_PM", texts.amPm);
    SetDisplayText("TIME", texts.time);
    SetDisplayText("SECONDS", texts.seconds);
    SetDisplayText("DATE", texts.date);
    SetDisplayText("AL_HEADER", pendingAlarm.header);

    // settings.shortTimeFormat is the alarm-time format from here on.
    std::string shownTime;
    bool readable = true;
    if (pendingAlarm.time.empty()) {
        // Any time that is not now; the due test ignores an empty time.
        DateTime other = now;
        other.hour = (now.hour + 12) % 24;
        shownTime = FormatDateTime(settings.shortTimeFormat, other, settings);
    } else {
        try {
            pendingAlarm.time = FormatDateTime(settings.shortTimeFormat, StrToTime(pendingAlarm.time, settings), settings);
        } catch (const ConversionError& error) {
            readable = false;
            ShowConversionErrorOnce(error.what());
        }
        shownTime = pendingAlarm.time;
    }
    // No alarm set yet (a first start): nothing to show, nothing rings.
    const bool none = pendingAlarm.date.empty() && pendingAlarm.time.empty();
    const std::string snoozed = SnoozeLine();
    SetDisplayText("AL_DATE", !snoozed.empty() ? snoozed : none ? "" : pendingAlarm.date + " at " + shownTime);
    ShowTrayToolTip(AlarmOnFlag);

    DueVerdict verdict = DueVerdict::None;
    try {
        verdict = dueTest_.Check(now, AlarmOnFlag && readable, pendingAlarm, settings);
    } catch (const ConversionError& error) {
        ShowConversionErrorOnce(error.what());
        return;
    }
    if (verdict == DueVerdict::Due) {
        SetupAlarm();
    } else if (verdict == DueVerdict::Missed) {
        // Too late to catch up: the step goes on from now, past every alarm in between.
        const PendingAlarm missed = pendingAlarm;
        int alsoSkipped = 0;
        try {
            tolvenmark::UpdateAlarm(alarm, config.appPath, now, settings, &alsoSkipped);
        } catch (...) {
            // A file that could not be written is told; the miss must be told too.
            Notify(MissedAlarmText(missed, alsoSkipped));
            throw;
        }
        Notify(MissedAlarmText(missed, alsoSkipped));
    }
}

void TForm1::NoteSnooze() {
    if (!Timer2->isActive()) {
        alarm.snoozedUntil.reset();
        return;
    }
    const LocalZone zone = LocalZone::System();
    const Instant now = FirstInstantOf(AppClock().Now(), zone);
    alarm.snoozedUntil = zone.toLocal(now + (Timer2->remainingTime() + 999) / 1000);
}

std::string TForm1::SnoozeLine() const {
    if (!alarm.snoozedUntil) return "";
    const RegionalSettings& settings = AppRegionalSettings();
    const std::string format = WithoutSeconds(settings.shortTimeFormat, IsTwelveHourFormat(settings.shortTimeFormat));
    return "Snoozed until " + FormatDateTime(format, *alarm.snoozedUntil, settings);
}

void TForm1::ShowConversionErrorOnce(const std::string& text) {
    // Every second would bury the desktop in boxes; once per wrong value.
    if (badAlarmShown_ && badAlarm_ == pendingAlarm) return;
    badAlarm_ = pendingAlarm;
    badAlarmShown_ = true;
    AppPrompts().Error(text);
}

}  // namespace tolvenmark
