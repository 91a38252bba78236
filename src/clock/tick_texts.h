#pragma once

#include <string>

#include "platform/date_time.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

// What one tick writes into the skin's display items.
struct TickTexts {
    std::string clockMode;  // "12" or "24"
    std::string time;       // TIME, padded to the skin's fixed width
    std::string seconds;    // SECONDS, two digits
    std::string amPm;       // AM_PM, empty in 24-hour mode
    std::string date;       // DATE, "mmmm d, yyyy"
};

// 12-hour mode is a short time format holding " AM" (its AMPM postfix).
bool IsTwelveHourFormat(const std::string& shortTimeFormat);

// The short time format with its seconds field and the separator in front removed.
std::string WithoutSeconds(const std::string& format, bool twelveHour);
// The alarm-time shape: seconds put back in front of the AMPM postfix (12-hour)
// or at the end (24-hour); a format that shows seconds stays as it is.
std::string AlarmTimeFormatOf(const std::string& format, bool twelveHour, const std::string& timeSeparator);

// What the first tick does to the settings, for a dialog opened before it:
// settings.shortTimeFormat in the alarm-time shape; answers the clock mode.
std::string AdoptAlarmTimeShape(RegionalSettings& settings);

// One tick's texts at now. settings.shortTimeFormat is taken out of the
// alarm-time shape for the formatting and left in it afterwards, as every
// dialog expects between ticks.
TickTexts ComputeTickTexts(const DateTime& now, RegionalSettings& settings);

}  // namespace tolvenmark
