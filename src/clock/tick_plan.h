#pragma once

#include <cstdint>
#include <optional>

#include "clock/due_test.h"
#include "clock/pending_alarm.h"

namespace tolvenmark {

// When the main window's tick must run next. Shown, the face changes every
// second; hidden, nothing on screen does, so the tick sleeps until the next
// thing that is due. The due test covers every second since the tick before,
// so a tick at the alarm's own second finds what a tick each second would.
struct TickPlanInput {
    bool shown = true;            // the face is on screen
    bool playerRunning = false;   // each tick follows the player (its end, its notice)
    std::int64_t nowMs = 0;       // wall clock, milliseconds since the epoch
    std::optional<Instant> alarmAt;  // the pending alarm's first instant, switch on
    // An internet alarm's dial window opens: the connection watch runs from then.
    std::optional<Instant> dialWindowAt;
    std::optional<std::int64_t> snoozeLeftMs;  // the snooze's relaunch (Timer2)
    std::optional<std::int64_t> launchLeftMs;  // the launch delay or dial-up wait (Timer3)
    // The tray's tooltip holds the pending alarm's texts and switch, which
    // change only with the alarm itself; a text that changed with the time
    // would give its next change here.
    std::optional<Instant> tooltipChangeAt;
};

struct TickPlan {
    enum class Kind {
        EverySecond,  // the start of the next second, as always
        Sleep,        // no tick until something changes
        At,           // one tick after delayMs
    } kind = Kind::EverySecond;
    std::int64_t delayMs = 0;
    // For Kind::At: the wall-clock instant it wakes for (or the step on the
    // way there, when that is far ahead).
    std::optional<Instant> wakeAt;
};

// A sleep longer than this is taken in steps: each wakes once, looks again
// and sleeps on, so nothing unforeseen can hold the clock off for long.
inline constexpr std::int64_t kLongestSleepMs = 3600 * 1000;

TickPlan PlanNextTick(const TickPlanInput& input);

// How long before an internet alarm the connection watch reads the service
// each second, so the launch knows whether it must dial.
inline constexpr Instant kDialWindowSeconds = 120;

// What, when it changes while the window is hidden, wakes the tick at once
// so that it sees the change as a tick each second would.
struct TickWatched {
    bool alarmOn = false;
    PendingAlarm alarm;
    bool playerStarted = false;
    bool snoozing = false;
    int snoozeIntervalMs = 0;
    bool launching = false;
    int launchIntervalMs = 0;

    bool operator==(const TickWatched&) const = default;
};

}  // namespace tolvenmark
