#pragma once

#include <string>

#include "platform/date_time.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

// A time of day in the alarm time shape (the short time format with its
// seconds field, kept in settings.shortTimeFormat).
std::string AlarmTimeText(const DateTime& time, const RegionalSettings& settings);

// The time a dialog's time picker opens on: the handed-over text read as a
// time after passing through the alarm time shape, or now when it is empty.
// A text that does not read throws ConversionError.
DateTime OpeningTime(const std::string& text, const RegionalSettings& settings, const DateTime& now);

// Whether the alarm date at time lies at or before now: taken, it would never
// ring. Texts that do not read count as not passed (the tick reports them).
bool AlarmHasPassed(const std::string& date, const std::string& time, const DateTime& now,
                    const RegionalSettings& settings);

}  // namespace tolvenmark
