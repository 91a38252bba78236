#pragma once

#include <optional>
#include <string>

#include "clock/pending_alarm.h"
#include "platform/date_time.h"

namespace tolvenmark {

// What a user can ask of the running clock, the same whichever way they ask:
// a hot area or key of the face, the tray menu, the ringing notification or
// the command channel. The main window carries them out.
class ClockCommands {
public:
    virtual ~ClockCommands() = default;
    // Snoozes the ringing alarm. Quiet (a script asking), a snooze that cannot
    // be done is answered with its reason instead of a box; empty when done.
    virtual std::string Snooze(bool quiet) = 0;
    // Ends the sounding (and a snooze on its way back); the alarm stays on.
    virtual void Stop() = 0;
    // The alarm switch, kept for the next start; the reason when it could
    // not be kept (the switch is still made), else empty.
    virtual std::string SwitchAlarm(bool on) = 0;
    // Makes alarm the pending one and switches the alarm on. A file that
    // cannot be written changes nothing and throws OperationError.
    virtual std::string SetAlarm(const PendingAlarm& alarm) = 0;
    virtual void Show() = 0;  // to the front, out of the tray
    virtual void Quit() = 0;

    // What a script's status request reports.
    virtual const PendingAlarm& Pending() const = 0;
    virtual bool AlarmOn() const = 0;
    virtual bool PlayerRunning() const = 0;
    // When a snoozed alarm comes back; empty while none waits.
    virtual std::optional<DateTime> SnoozedUntil() const = 0;
};

}  // namespace tolvenmark
