#pragma once

#include <optional>
#include <string>

#include "clock/pending_alarm.h"
#include "platform/date_time.h"

namespace tolvenmark {

// The one owner of the pending alarm, the alarm switch and the snooze. The
// alarm keys (ALHEADER, ALDATE, ALTIME, ALSET) are written here and nowhere
// else, each change in one replacement of the configuration file, and the
// view (the main window) is told what to show.
class AlarmState {
public:
    explicit AlarmState(AlarmView* view = nullptr) : view_(view) {}
    void SetView(AlarmView* view) { view_ = view; }

    // Memory only: what the keys hold, as read at start-up or from a dialog's
    // fields. The writers below keep memory and file together.
    PendingAlarm pending;
    bool on = false;
    // When the snoozed alarm comes back; empty while no snooze waits.
    std::optional<DateTime> snoozedUntil;
    // The pending alarm stood in "Alarms.txt" when last looked at: it follows
    // the list when the user edits or deletes its line. Not one set by hand.
    bool listed = false;

    // Makes alarm the pending one: ALHEADER, ALDATE and ALTIME in one
    // replacement, then the view. Memory and view follow even when the write
    // fails, so the clock rings what the user sees; false then, errno says why.
    bool Take(const PendingAlarm& alarm, bool fromList = false);
    // For a request that can be refused: a failed write changes nothing and
    // throws OperationError naming the file.
    void TakeChecked(const PendingAlarm& alarm);
    // The alarm switch, kept in ALSET so the next start begins as it was left.
    // False when ALSET could not be written (errno says why).
    bool Switch(bool on);
    // AL_HEADER, AL_DATE and, while the switch is ticked, the menu caption.
    void Show() const;

private:
    AlarmView* view_;
};

// The caption of the tray menu's switch while it is on.
std::string AlarmOnCaption(const PendingAlarm& alarm);

}  // namespace tolvenmark
