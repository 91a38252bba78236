#pragma once

#include <optional>
#include <string>

namespace tolvenmark {

// The start-with-the-desktop entry: a file in the user's XDG autostart
// folder. The file being there is the choice being on.
inline constexpr const char* kAutostartValueName = "Tolvenmark Clock";

// $XDG_CONFIG_HOME/autostart/tolvenmark-clock.desktop; a relative or empty
// XDG_CONFIG_HOME is ignored, as the XDG rules say, for ~/.config.
std::string AutostartEntryPath();

bool AutostartEntryExists();

// Creates the entry (and its folder) starting programPath. Throws
// OperationError "Failed to set data for 'Tolvenmark Clock'" when the entry
// cannot be written or the path cannot be put on an Exec line.
void WriteAutostartEntry(const std::string& programPath);

// False when an entry was there and could not be removed.
bool DeleteAutostartEntry();

// The entry's text; nullopt for a path an Exec line cannot carry (a line
// break or another control character in it).
std::optional<std::string> AutostartEntryText(const std::string& programPath);

// programPath as one argument of a desktop entry's Exec key: bare when it
// holds nothing reserved, else quoted; "%" doubled; the key's own escaping
// of "\" applied on top.
std::optional<std::string> ExecArgument(const std::string& programPath);

}  // namespace tolvenmark
