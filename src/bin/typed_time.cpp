#include "bin/typed_time.h"

#include <algorithm>
#include <cctype>

#include "platform/conversion_error.h"
#include "platform/date_time_text.h"

namespace tolvenmark {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::optional<DateTime> ReadTypedTime(const std::string& text, const RegionalSettings& settings) {
    // Blanks typed around a time are no part of it; an empty text is no time.
    if (text.find_first_not_of(' ') == std::string::npos) return std::nullopt;
    try {
        DateTime time = StrToTime(text, settings);
        time.millisecond = 0;
        return time;
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

std::optional<DateTime> ReadTypedDate(const std::string& text, const RegionalSettings& settings,
                                      int currentYear) {
    try {
        return StrToDate(text, settings, currentYear);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

DateTime StepSection(DateTime time, TimeSection section, int steps) {
    switch (section) {
        case TimeSection::Hour: time.hour = std::clamp(time.hour + steps, 0, 23); break;
        case TimeSection::Minute: time.minute = std::clamp(time.minute + steps, 0, 59); break;
        case TimeSection::Second: time.second = std::clamp(time.second + steps, 0, 59); break;
        case TimeSection::Designator:
            if (steps != 0) time.hour = (time.hour + 12) % 24;
            break;
    }
    return time;
}

bool SectionFull(TimeSection section, const std::string& digits, bool twelveHour) {
    if (digits.size() >= 2) return true;
    if (digits.empty()) return false;
    const int first = digits[0] - '0';
    const int largest = section == TimeSection::Hour ? (twelveHour ? 12 : 23) : 59;
    return first * 10 > largest;
}

bool TwelveHour(const RegionalSettings& settings) {
    return Lower(settings.longTimeFormat).find("ampm") != std::string::npos;
}

bool DesignatorFirst(const RegionalSettings& settings) {
    const std::string format = Lower(settings.longTimeFormat);
    const std::size_t designator = format.find("ampm");
    return designator != std::string::npos && designator < format.find('h');
}

}  // namespace tolvenmark
