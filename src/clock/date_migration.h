#pragma once

#include <string>

#include "clock/pending_alarm.h"
#include "platform/prompts.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

inline constexpr const char* kDateFormatChangedMessage =
    "A Windows Date Format change was detected and the stored alarm dates were updated.  "
    "Please restart the program.";

// Rewrites a date text from the stored field order (a DateOrderCode) and
// separator into the current ones: numbers without leading zeros, joined by
// the current separator. Anything it cannot read safely comes back unchanged:
// a code that is none of the six, an empty old separator, fewer than two
// separators, a part that is not plain decimal digits (blanks around them
// allowed) or is above 65535, the largest value a part is kept in.
std::string DecodeDateString(const std::string& text, int storedCode, const std::string& oldSeparator,
                             int currentCode, const std::string& currentSeparator);

// The same with the old separator from ALDATESEP and the current order and
// separator from the settings.
std::string DecodeDateString(const std::string& text, int storedCode, const RegionalSettings& settings);

// The start-up check of the recorded date order. storedFormat is ALFORMAT as
// read at start-up; an empty or non-numeric one counts as unchanged. When
// unchanged the current order is recorded and false returned. On a change,
// the dates in "Alarms.txt" and the pending alarm's date are rewritten, the
// new order recorded, the restart warning shown, and true returned: the
// program must end. If "Alarms.txt" cannot be read or written, the
// OperationError passes on and nothing is recorded, so the next start tries
// again instead of reading old dates with the new order.
bool CheckStoredDateFormat(const std::string& storedFormat, PendingAlarm& pending,
                           const std::string& appPath, const RegionalSettings& settings,
                           Prompts& prompts);

}  // namespace tolvenmark
