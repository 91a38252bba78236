#include "bin/alarm_time.h"

#include "platform/conversion_error.h"
#include "platform/date_time_text.h"

namespace tolvenmark {

std::string AlarmTimeText(const DateTime& time, const RegionalSettings& settings) {
    return FormatDateTime(settings.shortTimeFormat, time, settings);
}

DateTime OpeningTime(const std::string& text, const RegionalSettings& settings, const DateTime& now) {
    if (text.empty()) return now.TimePart();
    const DateTime read = StrToTime(text, settings);
    return StrToTime(AlarmTimeText(read, settings), settings);
}

bool AlarmHasPassed(const std::string& date, const std::string& time, const DateTime& now,
                    const RegionalSettings& settings) {
    try {
        const DateTime day = StrToDate(date, settings, now.year);
        const DateTime at = StrToTime(time, settings);
        return DateTime{day.year, day.month, day.day, at.hour, at.minute, at.second, 0} <= now;
    } catch (const ConversionError&) {
        return false;
    }
}

}  // namespace tolvenmark
