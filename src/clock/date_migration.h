#pragma once

#include <optional>
#include <string>

#include "clock/pending_alarm.h"
#include "platform/prompts.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

inline constexpr const char* kDateFormatChangedMessage =
    "A Windows Date Format change was detected and the stored alarm dates were updated.  "
    "Please restart the program.";

// The same, telling when it could not read the text.
std::optional<std::string> TryDecodeDateString(const std::string& text, int storedCode,
                                               const std::string& oldSeparator, int currentCode,
                                               const std::string& currentSeparator);

// Rewrites a date text from the stored field order (a DateOrderCode) and
// separator into the current ones: numbers without leading zeros, joined by
// the current separator. Anything it cannot read safely comes back unchanged:
// a code that is none of the six, an empty old separator, fewer than two
// separators, a part that is not plain decimal digits (blanks around them
// allowed) or is above 65535, the largest value a part is kept in.
std::string DecodeDateString(const std::string& text, int storedCode, const std::string& oldSeparator,
                             int currentCode, const std::string& currentSeparator);

// The same with the old separator from ALDATESEP (the current one when it is
// empty) and the current order and separator from the settings.
std::string DecodeDateString(const std::string& text, int storedCode, const RegionalSettings& settings);

// The restart warning; with unreadable dates it says how many were kept.
std::string DateFormatChangedMessage(int unreadable);

// The start-up check of the recorded date order. storedFormat and
// storedSeparator are ALFORMAT and ALDATESEP as read before the upgrade. An
// empty, non-numeric or unknown order code counts as unchanged, an empty
// separator as the current one. When unchanged the current order is recorded
// and false returned. On a change, the dates in "Alarms.txt" and the pending
// alarm's date are rewritten, the new order recorded, the restart warning
// shown, and true returned: the program must end.
//
// The migration happens exactly once whatever stops it: it first keeps the
// unconverted file and keys in a journal beside the configuration, and every
// write is checked. A start that finds the journal redoes the migration from
// it. A failed write throws OperationError naming the file and leaves the
// journal for the next start.
bool CheckStoredDateFormat(const std::string& storedFormat, const std::string& storedSeparator,
                           PendingAlarm& pending, const std::string& appPath,
                           const RegionalSettings& settings, Prompts& prompts);

// The same with the separator read from ALDATESEP now.
bool CheckStoredDateFormat(const std::string& storedFormat, PendingAlarm& pending,
                           const std::string& appPath, const RegionalSettings& settings,
                           Prompts& prompts);

}  // namespace tolvenmark
