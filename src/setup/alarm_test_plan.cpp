#include "setup/alarm_test_plan.h"

namespace tolvenmark {

LaunchSettings TestSettings(const AlarmTestInput& input, const std::string& iConnect, const std::string& wait) {
    return {input.player, input.mediaType, input.startString, iConnect, wait};
}

TestAction PlanAlarmTest(const LaunchSettings& s, bool connected, const LaunchLookups& lookups) {
    if (LaunchGate(s, connected) == Gate::NoConnection) return {TestOutcome::NoConnection, {}, {}};
    if (s.mediaType == "Text Message") return {TestOutcome::TextBox, {}, {}};
    if (s.mediaType == "Network Message") return {TestOutcome::NetworkMessage, {}, {}};
    std::string argument = PlayerArgument(s, lookups);
    PlayerCommand player = ResolvePlayer(s.player, argument, lookups);
    if (!player.chosen) return {TestOutcome::NoPlayer, {}, {}};
    GuardArgument(player, argument);
    return {TestOutcome::StartPlayer, std::move(player), std::move(argument)};
}

}  // namespace tolvenmark
