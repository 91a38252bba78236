#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/config_keys.h"

namespace tolvenmark {

inline constexpr const char* kLanConnection = "Local Area Network (LAN)";
inline constexpr const char* kRadioType = "Internet Radio Station";
inline constexpr std::uint16_t kConnectedState = 8192;

// PLAYER, MTYPE, ALFILE, ICONNECT and WAIT as read at a set-up.
struct LaunchSettings {
    std::string player;
    std::string mediaType;
    std::string alFile;
    std::string iConnect;
    std::string wait;
};
LaunchSettings ReadLaunchSettings(const ConfigKeys& config);

bool IsMessageType(const std::string& mediaType);  // "Text Message", "Network Message"

// Only a radio alarm needs the internet; a dial-up entry (not the LAN) that
// is not connected has to be dialed first.
bool NeedsDial(const LaunchSettings& s, bool connected);

// What the launch delay timer is set to at a set-up.
struct LaunchDelay {
    bool dialFirst = false;
    int intervalMs = 1000;
};
LaunchDelay PlanLaunchDelay(const LaunchSettings& s, bool connected);

enum class Gate { Go, NoConnection };
// A radio alarm whose dial-up connection is still not up is stopped (with
// kNoConnectionWarning); every other alarm goes on.
Gate LaunchGate(const LaunchSettings& s, bool connected);
inline constexpr const char* kAlarmNotStarted = "The alarm could not be started.";
inline constexpr const char* kNoConnectionWarning =
    "The alarm could not be started because no internet connection was available.";

// WAIT in seconds: 60 when empty or not a number, else within 1 to
// kLongestWaitSeconds, whose milliseconds still fit a timer's interval.
inline constexpr long kLongestWaitSeconds = 2147483;
int WaitSeconds(const std::string& wait);
// SNOOZEMIN in minutes: 5 when empty, not a number, 0 or negative (0 would
// relaunch at once, a negative one never); at most 1440, so the timer's
// milliseconds cannot overflow.
int SnoozeMinutes(const std::string& snoozeMin);

// How the rules reach the machine; tests give folders of their own.
struct LaunchLookups {
    ConfigKeys config;
    std::function<std::string(const std::string&)> existingPath;  // path when it exists, else ""
    std::function<std::string(const std::string&)> findProgram;   // runnable path of a name, else ""
};
LaunchLookups SystemLookups(const ConfigKeys& config);

// The player of a PLAYER code. A code counts as chosen even when its path is
// empty or missing (the start then fails). An empty slot, and an empty code
// (no player ticked), fall back to the first installed of mpv, vlc, ffplay
// and paplay (WAV files only); only an unknown code chooses nothing.
struct PlayerCommand {
    bool chosen = false;
    std::string program;               // "" when nothing is there to run
    std::vector<std::string> options;  // before the argument
    bool fallback = false;             // one of ours, not the slot's
};
PlayerCommand ResolvePlayer(const std::string& playerCode, const std::string& argument, const LaunchLookups& lookups);

// Keeps the argument from being read as an option: a fallback player is told
// where its options end; for a chosen player, whose options we do not know,
// an argument that starts with '-' can only be a relative file name and gets "./".
void GuardArgument(PlayerCommand& player, std::string& argument);

// The name of the first installed fallback player, "" when none is.
std::string FallbackPlayerName(const LaunchLookups& lookups);

// The player's one argument: empty for an empty ALFILE; disc and stream
// addresses unchanged; otherwise the path when that file exists, else empty.
std::string PlayerArgument(const LaunchSettings& s, const LaunchLookups& lookups);

}  // namespace tolvenmark
