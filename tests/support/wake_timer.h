#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tolvenmark::testing {

// A wake helper's timer as the kernel shows it in /proc/PID/fdinfo (reading it
// needs root, as the helper is not dumpable).
struct WakeTimer {
    int clockId = -1;
    std::int64_t ticks = -1;   // expiries not read
    std::int64_t armedAt = 0;  // now + it_value in seconds, rounded; 0 when disarmed
};

// The timer of the running process started as `program` (its argv[0]).
std::optional<WakeTimer> ReadWakeTimer(const std::string& program);

// Polls until that process shows a timer for which wanted is true; the last
// one seen (or none) after timeoutMs.
std::optional<WakeTimer> WaitForWakeTimer(const std::string& program,
                                          const std::function<bool(const WakeTimer&)>& wanted, int timeoutMs);

}  // namespace tolvenmark::testing
