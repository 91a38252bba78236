#include "clock/tick_plan.h"

#include <algorithm>

namespace tolvenmark {

namespace {

// As the one-second tick: a little after the second begins, so the tick
// never reads the second that is ending.
constexpr std::int64_t kAfterSecondMs = 2;

}  // namespace

TickPlan PlanNextTick(const TickPlanInput& input) {
    if (input.shown || input.playerRunning) return {};

    // Wall-clock deadlines: a second already passed has had its tick.
    std::optional<std::int64_t> dueMs;
    auto consider = [&](std::int64_t atMs) {
        if (atMs <= input.nowMs) return;
        dueMs = dueMs ? std::min(*dueMs, atMs) : atMs;
    };
    for (const auto& at : {input.alarmAt, input.dialWindowAt, input.tooltipChangeAt})
        if (at) consider(*at * 1000 + kAfterSecondMs);
    // The timers fire by themselves; the tick after them sees what they did.
    for (const auto& left : {input.snoozeLeftMs, input.launchLeftMs})
        if (left) consider(input.nowMs + std::max<std::int64_t>(*left, 0) + kAfterSecondMs);
    if (!dueMs) return {TickPlan::Kind::Sleep, 0, std::nullopt};

    const std::int64_t delay = std::min(*dueMs - input.nowMs, kLongestSleepMs);
    const std::int64_t wakeMs = input.nowMs + delay;
    return {TickPlan::Kind::At, delay, wakeMs / 1000};
}

}  // namespace tolvenmark
