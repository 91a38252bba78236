#include "clock/wake_keeper.h"

#include <ctime>
#include <exception>

#include <QTimer>

#include "clock/main_window.h"
#include "platform/clock.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

namespace {

std::int64_t Milliseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return std::int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

// A kernel without a real-time clock to wake from still keeps the timer, and
// never wakes for it.
bool MachineCanWake() {
    timespec resolution{};
    return clock_getres(CLOCK_REALTIME_ALARM, &resolution) == 0;
}

}  // namespace

WakeKeeper::WakeKeeper(TForm1& form, QString helperProgram, QDBusConnection bus)
    : QObject(&form), form_(form), helper_(std::move(helperProgram)), resume_(std::move(bus)),
      wakeClock_(MachineCanWake()) {
    clockMs = Milliseconds;
    resume_.OnPrepareForSleep = [this](bool sleeping) { SleepChanged(sleeping); };
}

bool WakeKeeper::Unavailable() const { return helper_.Unavailable() || !wakeClock_; }

void WakeKeeper::Sync() {
    std::optional<Instant> alarm;
    const PendingAlarm& pending = form_.pendingAlarm;
    if (form_.AlarmOnFlag && !pending.date.empty() && !pending.time.empty()) {
        try {
            alarm = alarmInstants_.AlarmInstant(AppClock().Now(), pending, AppRegionalSettings());
        } catch (const std::exception&) {
            // The tick shows the error; nothing is pending that could be woken for.
        }
    }

    QTimer& snooze = *form_.Timer2;
    const std::int64_t boot = clockMs(CLOCK_BOOTTIME);
    if (const auto left = relaunch_.Observe({snooze.isActive(), snooze.remainingTime(), clockMs(CLOCK_MONOTONIC), boot}))
        ShortenSnooze(*left);
    std::optional<Instant> relaunch;
    const std::int64_t realMs = clockMs(CLOCK_REALTIME);
    if (const auto left = relaunch_.LeftMs(boot)) relaunch = (realMs + *left + 999) / 1000;

    helper_.Want(EarliestWake(realMs / 1000, alarm, relaunch));
}

void WakeKeeper::SleepChanged(bool sleeping) {
    if (sleeping) {
        tickOnWake_ = true;
        Sync();
        return;
    }
    if (!tickOnWake_) return;
    tickOnWake_ = false;
    // The tick, which syncs first, now rather than when its timer comes round.
    form_.Timer1->start(0);
}

void WakeKeeper::ShortenSnooze(std::int64_t leftMs) {
    QTimer& snooze = *form_.Timer2;
    if (!snoozeInterval_) {
        snoozeInterval_ = snooze.interval();
        // Once round, it counts whole snoozes again.
        connect(
            &snooze, &QTimer::timeout, this,
            [this, &snooze] {
                if (snoozeInterval_) snooze.setInterval(*snoozeInterval_);
                snoozeInterval_.reset();
            },
            Qt::SingleShotConnection);
    }
    snooze.start(static_cast<int>(leftMs));
}

}  // namespace tolvenmark
