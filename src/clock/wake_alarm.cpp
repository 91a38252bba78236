#include "clock/wake_alarm.h"

#include <algorithm>
#include <cstdlib>

namespace tolvenmark {

namespace {

// Timers report whole milliseconds; a restart moves the deadline by far more.
constexpr std::int64_t kSlackMs = 50;

}  // namespace

std::optional<Instant> WakeFor(Instant at, Instant now) {
    if (at - kWakeLeadSeconds > now) return at - kWakeLeadSeconds;
    if (at > now) return at;
    return std::nullopt;
}

std::optional<Instant> EarliestWake(Instant now, std::optional<Instant> alarm, std::optional<Instant> relaunch) {
    const std::optional<Instant> a = alarm ? WakeFor(*alarm, now) : std::nullopt;
    const std::optional<Instant> r = relaunch ? WakeFor(*relaunch, now) : std::nullopt;
    if (a && r) return std::min(*a, *r);
    return a ? a : r;
}

WakeAnswer ParseWakeAnswer(std::string_view line) {
    if (line == "ok") return {WakeAnswer::Kind::Ok, ""};
    for (const auto& [word, kind] : {std::pair{std::string_view("unavailable "), WakeAnswer::Kind::Unavailable},
                                     std::pair{std::string_view("refused "), WakeAnswer::Kind::Refused}})
        if (line.substr(0, word.size()) == word) return {kind, std::string(line.substr(word.size()))};
    return {WakeAnswer::Kind::Unknown, std::string(line)};
}

std::string WakeLine(std::optional<Instant> at) { return std::to_string(at.value_or(0)) + "\n"; }

std::optional<std::int64_t> SnoozeRelaunch::Observe(const Look& look) {
    if (!look.active) {
        dueMonotonic_.reset();
        dueBoot_.reset();
        return std::nullopt;
    }
    const std::int64_t dueMonotonic = look.monotonicMs + look.remainingMs;
    if (!dueMonotonic_ || std::abs(dueMonotonic - *dueMonotonic_) > kSlackMs) {
        // A new snooze, or the timer went round again.
        dueMonotonic_ = dueMonotonic;
        dueBoot_ = look.bootMs + look.remainingMs;
        return std::nullopt;
    }
    const std::int64_t left = std::max<std::int64_t>(0, *dueBoot_ - look.bootMs);
    if (look.remainingMs <= left + kSlackMs) return std::nullopt;
    dueMonotonic_ = look.monotonicMs + left;
    return left;
}

std::optional<std::int64_t> SnoozeRelaunch::LeftMs(std::int64_t bootMs) const {
    if (!dueBoot_) return std::nullopt;
    return std::max<std::int64_t>(0, *dueBoot_ - bootMs);
}

bool StartBudget::Take(std::int64_t nowMs) {
    constexpr std::int64_t kHourMs = 3600 * 1000;
    while (!starts_.empty() && nowMs - starts_.front() >= kHourMs) starts_.pop_front();
    if (static_cast<int>(starts_.size()) >= most_) return false;
    starts_.push_back(nowMs);
    return true;
}

}  // namespace tolvenmark
