#pragma once

#include <array>
#include <string>

namespace tolvenmark {

// The media types in the order of the alarm settings list (positions 0 to 7).
inline constexpr std::array<const char*, 8> kMediaTypes = {
    "MP3", "CD Audio", "DVD", "VCD", "Internet Radio Station", "Other File Format", "Text Message",
    "Network Message"};

// -1 when the text is none of the eight names (compared exactly).
int MediaTypeIndex(const std::string& mediaType);

struct PlayerInfo {
    const char* code;  // also the key holding the player's program path
    const char* name;  // as the missing-program warning names it
};

// In the order of the player boxes: Windows Media Player, Winamp, RealOne,
// QuickTime, Custom.
inline constexpr std::array<PlayerInfo, 5> kPlayers = {{{"WMP", "Windows Media Player"},
                                                        {"WINAMP", "Winamp"},
                                                        {"REALONE", "RealOne Player"},
                                                        {"QUICKTIME", "QuickTime"},
                                                        {"CUSTOM", "the Custom Player"}}};

// -1 for an empty or unknown code ("MESSAGE", "NETMESS" match no player).
int PlayerIndex(const std::string& code);

// "The file specified for <name> does not exist."
std::string MissingPlayerText(int playerIndex);

}  // namespace tolvenmark
