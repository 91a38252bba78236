#pragma once

#include <string>

#include "bin/bin_files.h"
#include "platform/prompts.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

// The "StorageBin.txt" line a start string is saved as: message kinds carry
// their file ID and kind, anything else the player (possibly empty).
FileSetting FileSettingFor(const std::string& mediaType, const std::string& startString,
                           const std::string& player);

// "&Add Settings to Storage Bin": appends the start string unless it is empty
// or already a target of the file (one notice per such line). A text the bin
// cannot hold is refused (OperationError) before anything is written.
// True when a line was added.
bool AddSettingsToBin(const std::string& appPath, const FileSetting& setting, Prompts& prompts);

// "A&dd Alarm to Bin": table := the lines of "Alarms.txt"; an alarm already
// there by date and time is reported once per line and not added; otherwise
// it is appended, put after the lines in the table, and, when the file
// existed, the file is sorted. No slot limit: every line stays.
// True when the alarm was added.
bool AddAlarmToBin(const std::string& appPath, const SavedAlarm& alarm, SavedAlarmList& table,
                   const RegionalSettings& settings, int currentYear, Prompts& prompts);

// Sorts table rows 0 to last and rewrites "Alarms.txt" from them; the rows
// are emptied. A date or time that does not convert throws ConversionError
// before the file is touched.
void SortAlarmsToFile(const std::string& appPath, SavedAlarmList& table, std::size_t last,
                      const RegionalSettings& settings, int currentYear);

}  // namespace tolvenmark
