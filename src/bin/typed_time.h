#pragma once

#include <optional>
#include <string>

#include "platform/date_time.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

// What a time picker makes of its text: a whole time as the user types it in
// the machine's format (12- or 24-hour, with or without minutes and seconds,
// the machine's designators or AM/PM before or after), nothing when it cannot
// be read. The date part is 1899-12-30.
std::optional<DateTime> ReadTypedTime(const std::string& text, const RegionalSettings& settings);

// The same for a typed date, in the order of the short date format; a date
// without a year is in currentYear.
std::optional<DateTime> ReadTypedDate(const std::string& text, const RegionalSettings& settings, int currentYear);

// The parts of a shown time that the arrows step and digits overwrite.
enum class TimeSection { Hour, Minute, Second, Designator };

// One step up (steps > 0) or down of a section, stopping at its ends as the
// arrows always did; the designator moves the time by twelve hours.
DateTime StepSection(DateTime time, TimeSection section, int steps);

// Whether a section holding these typed digits takes no further digit: two
// typed, or a first digit that no second one could follow.
bool SectionFull(TimeSection section, const std::string& digits, bool twelveHour);

// Whether the long time format shows a designator, and where.
bool DesignatorFirst(const RegionalSettings& settings);
bool TwelveHour(const RegionalSettings& settings);

}  // namespace tolvenmark
