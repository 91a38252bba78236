#pragma once

#include <cstdint>
#include <limits>

namespace tolvenmark {

// Which activations of the tray icon bring the clock back. XEmbed trays
// report a double-click after the single click that began it, and only the
// double-click restores there; StatusNotifierItem hosts send single
// activations only, and a host that sends two for a double-click must not
// restore twice.
enum class TrayClick { Single, Double, Other };

class TrayRestore {
public:
    bool Restores(TrayClick click, bool sendsDoubleClicks, std::int64_t nowMs, int doubleClickMs);

private:
    std::int64_t lastMs_ = std::numeric_limits<std::int64_t>::min() / 2;
};

}  // namespace tolvenmark
