#pragma once

#include <cstdint>
#include <string>

#include "platform/date_time.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

// Text conversions that behave as the original runtime's did. Every failing
// conversion throws ConversionError with the runtime's own message.

// Format tokens: d dd ddd dddd m mm mmm mmmm yy yyyy h hh n nn s ss AMPM
// am/pm a/p, "/" and ":" for the separators, '..' and ".." literals; "m"
// right after an hour token means minutes. Whole formats: ddddd short date,
// dddddd long date, t short time, tt long time, c short date and long time
// (the time left out at exactly midnight).
std::string FormatDateTime(const std::string& format, const DateTime& value,
                           const RegionalSettings& settings);
std::string DateToStr(const DateTime& value, const RegionalSettings& settings);  // short date
std::string TimeToStr(const DateTime& value, const RegionalSettings& settings);  // long time

// Fields in the order of the short date format; a missing year is currentYear.
// Throws "'%s' is not a valid date".
DateTime StrToDate(const std::string& text, const RegionalSettings& settings, int currentYear);
// Hours, optional minutes and seconds, AM/PM designator before or after.
// Throws "'%s' is not a valid time". The date part of the result is 1899-12-30.
DateTime StrToTime(const std::string& text, const RegionalSettings& settings);

// Leading blanks, optional sign, decimal digits, or "$"/"0x" hexadecimal; nothing
// may follow. Throws "'%s' is not a valid integer value".
std::int32_t StrToInt(const std::string& text);
std::int32_t StrToIntDef(const std::string& text, std::int32_t fallback);

}  // namespace tolvenmark
