#pragma once

#include <string>

#include "platform/regional_settings.h"

namespace tolvenmark {

// The configuration file and its one section "ALARM", read and written one
// key per call. ConfigPath is fixed at start-up (tests set their own).
const std::string& ConfigPath();
void SetConfigPath(const std::string& path);
std::string DefaultConfigPath();  // WindowsDirectory() + "/TOLVENMARKCLOCK.INI"

// At most 254 bytes; a missing key reads as "".
std::string ReadConfigKey(const std::string& key);
// A failed write is not reported (the file is never left half-written).
void WriteConfigKey(const std::string& key, const std::string& value);

// ALFORMAT := the current date order code, ALDATESEP := the date separator.
void RecordDateFormat(const RegionalSettings& settings);

}  // namespace tolvenmark

namespace tolvenmark {

// A numeric key as the clock uses it: empty or not a number gives fallback
// (SNOOZEMIN 5 minutes, WAIT 60 seconds).
int ConfigNumber(const std::string& text, int fallback);

}  // namespace tolvenmark
