#pragma once

#include "bin/bin_files.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

// The saved alarms in ascending order of date, then time: a selection of the
// earliest remaining entry, repeated. Entries with equal date and time keep
// their order; entries without a date are dropped; an entry with a date but
// no time is never displaced while it is the best candidate, and displaces a
// later-dated candidate by its date only.
//
// Dates are read in the short date format (currentYear fills a missing year),
// times as times of day. A text that does not convert throws ConversionError
// exactly when the selection first compares it, with the same message; a text
// that is never compared does not. The input is never changed, so a failed
// sort loses nothing.
SavedAlarmList SortAlarms(const SavedAlarmList& alarms, const RegionalSettings& settings,
                          int currentYear);

}  // namespace tolvenmark
