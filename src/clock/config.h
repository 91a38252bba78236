#pragma once

#include <string>
#include <utility>
#include <vector>

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
// For writes that data depends on: a failure throws OperationError naming
// the file (FileWriteError).
void WriteConfigKeyChecked(const std::string& key, const std::string& value);
// Several keys in one replacement of the file: either all are written or the
// file stays as it was. The unchecked form answers whether they were.
using ConfigKeyValues = std::vector<std::pair<std::string, std::string>>;
bool WriteConfigKeys(const ConfigKeyValues& keys);
void WriteConfigKeysChecked(const ConfigKeyValues& keys);

// ALFORMAT := the current date order code, ALDATESEP := the date separator.
void RecordDateFormat(const RegionalSettings& settings);
void RecordDateFormatChecked(const RegionalSettings& settings);

// "The file : PATH cannot be written." (or "read") and the input/output
// message of errorNumber on the next line.
std::string FileWriteError(const std::string& path, int errorNumber);
std::string FileWriteError(const std::string& path, const std::string& reason);
std::string FileReadError(const std::string& path, int errorNumber);

// A numeric key as the clock uses it: empty or not a number gives fallback.
int ConfigNumber(const std::string& text, int fallback);

// SNOOZEMIN and WAIT read from the file, within the bounds of the
// text-taking versions in setup/launch_rules.h.
int SnoozeMinutes();
int WaitSeconds();

}  // namespace tolvenmark
