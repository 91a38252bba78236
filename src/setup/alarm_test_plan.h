#pragma once

#include <string>

#include "setup/launch_rules.h"

namespace tolvenmark {

// What "&Test Alarm" takes from the dialog's controls.
struct AlarmTestInput {
    std::string mediaType;    // the selected type, "" when none
    std::string player;       // the ticked box's code, "" when none
    std::string startString;
};

// The test runs as the launch would, with the dialog's player, type and start
// string in place of PLAYER, MTYPE and ALFILE; ICONNECT and WAIT as read at
// the press.
LaunchSettings TestSettings(const AlarmTestInput& input, const std::string& iConnect, const std::string& wait);

enum class TestOutcome { NoConnection, TextBox, NetworkMessage, StartPlayer, NoPlayer };

struct TestAction {
    TestOutcome outcome = TestOutcome::NoPlayer;
    PlayerCommand player;  // StartPlayer: what to run
    std::string argument;  // StartPlayer: its one argument
};

// What the test does when its timer fires: the launch's gate, message
// handling and player command.
TestAction PlanAlarmTest(const LaunchSettings& s, bool connected, const LaunchLookups& lookups);

inline constexpr const char* kTestNoPlayer = "No Media Player is selected.";

}  // namespace tolvenmark
