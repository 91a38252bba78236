#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tolvenmark::testing {

// A wake helper's timer in /proc/PID/fdinfo (which only root may read).
struct WakeTimer {
    int clockId = -1;
    std::int64_t ticks = -1;   // expiries not read
    std::int64_t armedAt = 0;  // now + it_value in seconds; 0 when disarmed
};

// The timer of the process started as program (its argv[0]) once wanted is
// true of it; the last one read after timeoutMs.
std::optional<WakeTimer> WaitForWakeTimer(const std::string& program, int timeoutMs = 0,
                                          const std::function<bool(const WakeTimer&)>& wanted = {});

}  // namespace tolvenmark::testing
