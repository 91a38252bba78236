#pragma once

#include <string>

#include "bin/bin_files.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

// Deleting saved alarms by a range of dates; either end may be empty (open).
// Dates are read in the short date format (currentYear fills a missing year)
// and compared as calendar days; the time plays no part.

// The confirmation asked before deleting.
std::string RangeQuestion(const std::string& start, const std::string& end);

// Both ends given and the end lies before the start.
bool EndBeforeStart(const std::string& start, const std::string& end,
                    const RegionalSettings& settings, int currentYear);

// Empties header, date and time of every row within the range and returns
// how many; rows without a date are skipped. A date that does not read
// throws ConversionError, with the rows before it already emptied.
int DeleteAlarmRange(SavedAlarmList& rows, const std::string& start, const std::string& end,
                     const RegionalSettings& settings, int currentYear);

// The report shown after a deletion.
std::string RangeReport(int count, const std::string& start, const std::string& end);

inline constexpr const char* kEndBeforeStartMessage = "The Ending Date cannot be before the Start Date.";

}  // namespace tolvenmark
