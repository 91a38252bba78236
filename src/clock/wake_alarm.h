#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "clock/due_test.h"

namespace tolvenmark {

// How long before its second an alarm wakes the machine, so the desktop is
// up and the tick runs when the second comes.
inline constexpr Instant kWakeLeadSeconds = 60;

// The wake-up for something due at `at`: a minute early, or at its second once
// that minute has begun (a sleep in the last minute still ends for it); none
// once it is no longer ahead.
std::optional<Instant> WakeFor(Instant at, Instant now);

// The earliest wake-up of the pending alarm's and the snooze relaunch's.
std::optional<Instant> EarliestWake(Instant now, std::optional<Instant> alarm, std::optional<Instant> relaunch);

// What the wake helper answers to each line it is sent.
struct WakeAnswer {
    enum class Kind { Ok, Unavailable, Refused, Unknown } kind = Kind::Unknown;
    std::string reason;
};
WakeAnswer ParseWakeAnswer(std::string_view line);

// The line that asks the helper for a wake-up at `at`, or for none.
std::string WakeLine(std::optional<Instant> at);

// How often the helper is started: a helper that keeps ending is not started
// for ever, and one that ended now and then (a killed helper, a replaced one)
// is started again, at most `most` times in any hour.
class StartBudget {
public:
    explicit StartBudget(int most) : most_(most) {}
    // Takes one start at `nowMs` (a clock that never goes back) when the hour
    // before it leaves room.
    bool Take(std::int64_t nowMs);

private:
    int most_;
    std::deque<std::int64_t> starts_;
};

// Where a snooze's relaunch lies in time that counts sleep too. The window's
// timer counts only time awake, so after a sleep it would relaunch late by the
// sleep's length. All times in milliseconds: monotonic (the window timers'
// clock, stopped in sleep) and boot time (counting it).
class SnoozeRelaunch {
public:
    struct Look {
        bool active = false;            // the snooze timer runs
        std::int64_t remainingMs = 0;   // what it has left
        std::int64_t monotonicMs = 0;
        std::int64_t bootMs = 0;
    };
    // One look at the snooze timer. When a sleep held it back: what it must
    // have left instead (the caller sets it so, and this takes it as set).
    std::optional<std::int64_t> Observe(const Look& look);
    // Milliseconds of boot time until the relaunch, when one is pending.
    std::optional<std::int64_t> LeftMs(std::int64_t bootMs) const;

private:
    std::optional<std::int64_t> dueMonotonic_;
    std::optional<std::int64_t> dueBoot_;
};

}  // namespace tolvenmark
