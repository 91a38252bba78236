#pragma once

#include <ctime>
#include <functional>
#include <optional>

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include "clock/due_test.h"
#include "clock/resume_watch.h"
#include "clock/wake_alarm.h"
#include "clock/wake_helper_process.h"

namespace tolvenmark {

class TForm1;

// Keeps the machine's wake-up on what the main window rings next: the pending
// alarm while the switch is on, and a snooze's relaunch. When the machine
// wakes, the tick runs at once and the snooze timer is set to what is left.
class WakeKeeper : public QObject {
public:
    // bus: where logind's signals come from (the system bus, attached once
    // it is there; a private one in tests).
    WakeKeeper(TForm1& form, QString helperProgram, QDBusConnection bus = QDBusConnection(QString()));
    void AttachBus(QDBusConnection bus) { resume_.Attach(std::move(bus)); }

    // Milliseconds of a clock (CLOCK_MONOTONIC, CLOCK_BOOTTIME,
    // CLOCK_REALTIME); tests step them as a sleep would.
    std::function<std::int64_t(clockid_t)> clockMs;

    // Looks at the window's alarm, switch and snooze; the helper hears of a change.
    void Sync();
    // Waking from sleep cannot work here: no helper, no capability, or no
    // clock in the machine that can wake it.
    bool Unavailable() const;

private:
    void SleepChanged(bool sleeping);
    void ShortenSnooze(std::int64_t leftMs);

    TForm1& form_;
    WakeHelperProcess helper_;
    ResumeWatch resume_;
    DueTest alarmInstants_;
    SnoozeRelaunch relaunch_;
    // The snooze timer's own interval while it counts down a shortened rest.
    std::optional<int> snoozeInterval_;
    bool wakeClock_;
    // The next "woken" runs the tick at once; set again by "going to sleep",
    // so a burst of signals costs one tick.
    bool tickOnWake_ = true;
};

}  // namespace tolvenmark
