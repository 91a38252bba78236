#pragma once

#include <string>

namespace tolvenmark {

// The folder of the guide, the sample skins and the sounds for the program in
// programDir: share/tolvenmark-clock beside its bin/ folder when installed,
// else its twin inside the build folder; the installed one when neither is
// there, so a message can name where it was looked for.
std::string ProgramDataFolder(const std::string& programDir);

}  // namespace tolvenmark
