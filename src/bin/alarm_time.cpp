#include "bin/alarm_time.h"

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

}  // namespace tolvenmark
