#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bin/bin_files.h"
#include "platform/date_time.h"
#include "platform/prompts.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

// "Alarms.txt" as the storage bin opens it: dates and times rewritten in the
// short date format and the alarm time shape. A line whose date or time does
// not read ends the loading; it and every line after it are kept as they
// stand, to be written back after the saved rows.
struct AlarmsLoad {
    SavedAlarmList rows;
    std::vector<std::string> unreadLines;
    std::optional<std::string> error;  // the conversion message that ended the loading
};

AlarmsLoad LoadAlarmsForBin(const std::string& path, const RegionalSettings& settings, int currentYear);

// The validation of saved file settings: after "Continue?", every row that
// is a URL, a message or a plain file that does not exist is offered for
// deletion (URLs and messages unless ignored; rows without a target never).
// A deleted row's target is emptied. Returns how many were deleted.
int ValidateFileSettings(FileSettingList& rows, bool ignoreUrls, bool ignoreMessages,
                         const std::function<bool(const std::string&)>& fileExists, Prompts& prompts);

// The validation of saved alarms: after "Continue?", every row missing its
// date or its time, or lying before now, is offered; a deleted row is
// emptied whole. A date or time that does not read throws ConversionError,
// the rows deleted before it staying deleted.
int ValidateSavedAlarms(SavedAlarmList& rows, const DateTime& now, const RegionalSettings& settings,
                        Prompts& prompts);

// The report after either validation; true when the tables are to be packed.
bool ReportValidation(int count, Prompts& prompts);

// The rows with a key, in order; one blank row when there is none.
FileSettingList PackFileRows(const FileSettingList& rows);
SavedAlarmList PackAlarmRows(const SavedAlarmList& rows);

// "S&ort Alarms": the sorted entries, then as many blank rows as rows had no
// date. ConversionError leaves the rows as they were.
SavedAlarmList SortAlarmRows(const SavedAlarmList& rows, const RegionalSettings& settings, int currentYear);

// Throws OperationError when a row that would be written holds a text the
// line rule cannot carry (a caret, a line break): checked before any file
// of the bin is rewritten.
void CheckFileRows(const FileSettingList& rows);
void CheckAlarmRows(const SavedAlarmList& rows);

}  // namespace tolvenmark
