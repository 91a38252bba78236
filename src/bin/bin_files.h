#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/io_error.h"

namespace tolvenmark {

// One line of "Alarms.txt". The date is the entry's key: without one it is
// not an entry (a blank row, never written).
struct SavedAlarm {
    std::string header;
    std::string date;  // short date format in force when written
    std::string time;  // with seconds

    bool operator==(const SavedAlarm&) const = default;
};

// One line of "StorageBin.txt", keyed on the target.
struct FileSetting {
    std::string target;  // start string or message text
    std::string fileId;  // "", "Text Message" or "Network Message"
    std::string player;  // PlayerCode, "", "MESSAGE" or "NETMESS"

    bool operator==(const FileSetting&) const = default;
};

// Rows in file order; row 0 is the slot the dialogs number 1 (setup numbers
// it 0). There is no fixed capacity: every line of a file is kept.
using SavedAlarmList = std::vector<SavedAlarm>;
using FileSettingList = std::vector<FileSetting>;

std::string AlarmsPath(const std::string& appPath);      // appPath + "/Alarms.txt"
std::string StorageBinPath(const std::string& appPath);  // appPath + "/StorageBin.txt"

// Every line of the file, in order, blank keys included; a missing file is
// an empty list. A file that exists but cannot be read throws OperationError
// with the input/output message; so does a line over kMaxBinLineBytes
// (LongBinLineMessage), since what was cut off would be lost when written back.
SavedAlarmList LoadSavedAlarms(const std::string& path);
FileSettingList LoadFileSettings(const std::string& path);

// For a reader that never writes what it read: such lines are cut instead,
// their numbers in longLines.
SavedAlarmList LoadSavedAlarms(const std::string& path, std::vector<std::size_t>& longLines);

// No list of alarms comes near this; a larger file is refused unread
// (LargeBinFileMessage), so a huge or sparse file costs nothing at start.
inline constexpr std::uint64_t kMaxBinFileBytes = 64ull * 1024 * 1024;
std::string LargeBinFileMessage(const std::string& path);

// Names the file and the line; says the file was left as it is.
std::string LongBinLineMessage(const std::string& path, std::size_t lineNumber);

// Appends lines (creating the file). Every field is checked first
// (CheckBinField), so a refused entry writes nothing. A file whose last line
// lacks its line end gets one first, so the new line stays a line of its own.
void AppendSavedAlarm(const std::string& path, const SavedAlarm& alarm);
void AppendSavedAlarms(const std::string& path, const SavedAlarmList& alarms);
void AppendFileSetting(const std::string& path, const FileSetting& setting);

// Replaces the file atomically by one line per row with a non-empty key, in
// row order. Fields of written rows are checked first; a refusal or a failed
// write leaves the old file as it was (OperationError).
void RewriteSavedAlarms(const std::string& path, const SavedAlarmList& alarms);
void RewriteFileSettings(const std::string& path, const FileSettingList& settings);

// The rows, then keptLines as they stand: lines a reader could not take in
// stay in the file.
void RewriteSavedAlarms(const std::string& path, const SavedAlarmList& alarms,
                        const std::vector<std::string>& keptLines);

// The file's lines as every reader sees them (ReadBinLines); none when missing.
// A line over kMaxBinLineBytes throws as in LoadSavedAlarms.
std::vector<std::string> LoadBinLines(const std::string& path);

// Some entry has exactly this date text and this time text (the header is
// not compared; 7:30:00 AM and 07:30:00 AM differ).
bool IsDuplicateAlarm(const SavedAlarmList& alarms, const std::string& date, const std::string& time);

// Some entry's target equals the target, character for character.
bool IsDuplicateFileSetting(const FileSettingList& settings, const std::string& target);

void ClearAlarmArray(SavedAlarmList& alarms);
void ClearFileArray(FileSettingList& settings);

}  // namespace tolvenmark
