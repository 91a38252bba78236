#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tolvenmark::testing {

// A wake helper's timer as /proc/PID/fdinfo shows it (readable by root only,
// as the helper is not dumpable).
struct WakeTimer {
    int clockId = -1;
    std::int64_t ticks = -1;   // expiries not read
    std::int64_t armedAt = 0;  // now + it_value, in seconds; 0 when disarmed
};

// The timer of the running process started as `program` (its argv[0]).
std::optional<WakeTimer> ReadWakeTimer(const std::string& program);

// Polls until that timer satisfies wanted; the last one read after timeoutMs.
std::optional<WakeTimer> WaitForWakeTimer(const std::string& program,
                                          const std::function<bool(const WakeTimer&)>& wanted, int timeoutMs);

}  // namespace tolvenmark::testing
