#include "clock/tick_texts.h"

#include "platform/date_time_text.h"

namespace tolvenmark {

bool IsTwelveHourFormat(const std::string& shortTimeFormat) {
    return shortTimeFormat.find(" AM") != std::string::npos;
}

std::string WithoutSeconds(const std::string& format, bool twelveHour) {
    const std::size_t ss = format.find("ss");
    if (ss == std::string::npos) return format;
    // The separator in front of "ss" goes with it.
    const std::size_t cut = ss == 0 ? 0 : ss - 1;
    if (twelveHour) return format.substr(0, cut) + format.substr(ss + 2);
    return format.substr(0, cut);
}

std::string AlarmTimeFormatOf(const std::string& format, bool twelveHour, const std::string& timeSeparator) {
    if (format.find("ss") != std::string::npos) return format;
    if (twelveHour && format.size() >= 5) {
        const std::size_t split = format.size() - 5;
        return format.substr(0, split) + timeSeparator + "ss" + format.substr(split);
    }
    return format + timeSeparator + "ss";
}

std::string AdoptAlarmTimeShape(RegionalSettings& settings) {
    const bool twelveHour = IsTwelveHourFormat(settings.shortTimeFormat);
    settings.shortTimeFormat = AlarmTimeFormatOf(WithoutSeconds(settings.shortTimeFormat, twelveHour), twelveHour,
                                                 settings.timeSeparator);
    return twelveHour ? "12" : "24";
}

TickTexts ComputeTickTexts(const DateTime& now, RegionalSettings& settings) {
    TickTexts texts;
    const bool twelveHour = IsTwelveHourFormat(settings.shortTimeFormat);
    settings.shortTimeFormat = WithoutSeconds(settings.shortTimeFormat, twelveHour);
    if (twelveHour) {
        texts.clockMode = "12";
        // Empty designators for this one call leave the hours 1 to 12 and a
        // trailing blank where the designator would be.
        RegionalSettings bare = settings;
        bare.amDesignator.clear();
        bare.pmDesignator.clear();
        texts.time = FormatDateTime(settings.shortTimeFormat, now, bare);
        if (texts.time.size() == 5) texts.time.insert(0, " ");
        // By the hour: designators of most languages are other words than these.
        texts.amPm = now.hour < 12 ? "AM" : "PM";
    } else {
        texts.clockMode = "24";
        texts.time = FormatDateTime(settings.shortTimeFormat, now, settings);
        if (texts.time.size() == 4) texts.time.insert(0, " ");
    }
    texts.seconds = FormatDateTime("ss", now, settings);
    texts.date = FormatDateTime("mmmm d, yyyy", now, settings);
    settings.shortTimeFormat = AlarmTimeFormatOf(settings.shortTimeFormat, twelveHour, settings.timeSeparator);
    return texts;
}

}  // namespace tolvenmark
