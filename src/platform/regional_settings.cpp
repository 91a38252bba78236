#include "platform/regional_settings.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <string_view>

namespace tolvenmark {
namespace {

// The locale's time category, without touching the process locale.
class TimeLocale {
public:
    TimeLocale() {
        locale_ = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
        if (!locale_) locale_ = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
    }
    ~TimeLocale() {
        if (locale_) freelocale(locale_);
    }
    TimeLocale(const TimeLocale&) = delete;
    TimeLocale& operator=(const TimeLocale&) = delete;

    std::string Item(nl_item item) const {
        if (!locale_) return {};
        const char* text = nl_langinfo_l(item, locale_);
        return text ? std::string(text) : std::string();
    }

private:
    locale_t locale_ = static_cast<locale_t>(nullptr);
};

// Length of the UTF-8 character starting at text[pos] (1 for stray bytes).
std::size_t CharLength(std::string_view text, std::size_t pos) {
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return pos + length <= text.size() ? length : 1;
}

// A separator is one ASCII mark that no format or scan could take for a
// field: not a letter, digit, quote, blank or '%'. Locales that put words
// between the fields (Japanese, Korean) fall back.
bool UsableSeparator(std::string_view text) {
    if (text.size() != 1) return false;
    const char c = text[0];
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    return c > ' ' && c < 0x7F && !alnum && c != '\'' && c != '"' && c != '%';
}

// One conversion of a strftime pattern: its letter and whether a '-' or '_'
// flag asked for no zero padding.
struct Conversion {
    char letter = 0;
    bool unpadded = false;
};

// Reads "%[-_0^#]X" at pos; false for plain text.
bool ReadConversion(std::string_view pattern, std::size_t& pos, Conversion& conversion) {
    if (pattern[pos] != '%' || pos + 1 >= pattern.size()) return false;
    std::size_t i = pos + 1;
    conversion.unpadded = false;
    while (i < pattern.size() && std::string_view("-_0^#").find(pattern[i]) != std::string_view::npos) {
        if (pattern[i] == '-' || pattern[i] == '_') conversion.unpadded = true;
        ++i;
    }
    // Alternative digits and era forms (%Ey, %Om) read as the plain field.
    if (i < pattern.size() && (pattern[i] == 'E' || pattern[i] == 'O')) ++i;
    if (i >= pattern.size()) return false;
    conversion.letter = pattern[i];
    pos = i + 1;
    return true;
}

std::string ExpandDatePattern(std::string_view pattern) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 'D') {
            out += "%m/%d/%y";
            ++i;
        } else if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 'F') {
            out += "%Y-%m-%d";
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

// "%d.%m.%Y" gives "dd.MM.yyyy" and "."; false unless the pattern is three
// different numeric fields with one and the same separator between them.
bool ShortDateFromPattern(std::string_view rawPattern, std::string& format, std::string& separator) {
    const std::string pattern = ExpandDatePattern(rawPattern);
    std::string fields[3];
    std::string seps[2];
    bool seen[3] = {false, false, false};
    std::size_t pos = 0;
    for (int field = 0; field < 3; ++field) {
        Conversion c;
        if (pos >= pattern.size() || !ReadConversion(pattern, pos, c)) return false;
        int kind = -1;
        switch (c.letter) {
            case 'd': kind = 0; fields[field] = c.unpadded ? "d" : "dd"; break;
            case 'e': kind = 0; fields[field] = "d"; break;
            case 'm': kind = 1; fields[field] = c.unpadded ? "M" : "MM"; break;
            case 'y': kind = 2; fields[field] = "yy"; break;
            case 'Y': kind = 2; fields[field] = "yyyy"; break;
            default: return false;
        }
        if (seen[kind]) return false;
        seen[kind] = true;
        if (field == 2) break;
        std::size_t sepEnd = pattern.find('%', pos);
        if (sepEnd == std::string::npos) return false;
        seps[field] = pattern.substr(pos, sepEnd - pos);
        pos = sepEnd;
    }
    if (pos != pattern.size() || seps[0] != seps[1] || !UsableSeparator(seps[0])) return false;
    format = fields[0] + seps[0] + fields[1] + seps[0] + fields[2];
    separator = seps[0];
    return true;
}

struct TimeShapes {
    std::string shortFormat;
    std::string longFormat;
    std::string separator;
};

TimeShapes TimeFromPattern(const std::string& timePattern, const std::string& ampmPattern,
                           bool twelveHour) {
    std::string pattern;
    for (std::size_t i = 0; i < timePattern.size(); ++i) {
        if (timePattern[i] == '%' && i + 1 < timePattern.size()) {
            const char next = timePattern[i + 1];
            if (next == 'T') { pattern += "%H:%M:%S"; ++i; continue; }
            if (next == 'R') { pattern += "%H:%M"; ++i; continue; }
            if (next == 'r') { pattern += ampmPattern.empty() ? "%I:%M:%S %p" : ampmPattern; ++i; continue; }
        }
        pattern += timePattern[i];
    }

    bool padded = true;
    bool hourFound = false;
    bool prefix = false;
    std::string separator = ":";
    std::size_t pos = 0;
    while (pos < pattern.size()) {
        Conversion c;
        if (!ReadConversion(pattern, pos, c)) {
            ++pos;
            continue;
        }
        if (!hourFound && (c.letter == 'H' || c.letter == 'I' || c.letter == 'k' || c.letter == 'l')) {
            hourFound = true;
            padded = (c.letter == 'H' || c.letter == 'I') && !c.unpadded;
            const std::size_t minute = pattern.find("%M", pos);
            if (minute != std::string::npos) {
                const std::string between = pattern.substr(pos, minute - pos);
                if (UsableSeparator(between)) separator = between;
            }
        } else if (!hourFound && (c.letter == 'p' || c.letter == 'P')) {
            prefix = true;
        }
    }
    const std::string hour = padded ? "hh" : "h";
    TimeShapes shapes;
    shapes.separator = separator;
    shapes.shortFormat = hour + ":mm";
    shapes.longFormat = hour + ":mm:ss";
    if (twelveHour) {
        if (prefix) {
            shapes.shortFormat = "AMPM " + shapes.shortFormat;
            shapes.longFormat = "AMPM " + shapes.longFormat;
        } else {
            shapes.shortFormat += " AMPM";
            shapes.longFormat += " AMPM";
        }
    }
    return shapes;
}

bool UsesTwelveHourClock(std::string_view timePattern) {
    std::size_t pos = 0;
    while (pos < timePattern.size()) {
        Conversion c;
        if (!ReadConversion(timePattern, pos, c)) {
            ++pos;
            continue;
        }
        if (c.letter == 'I' || c.letter == 'l' || c.letter == 'p' || c.letter == 'r') return true;
    }
    return false;
}

// The first non-letter outside quotes that is not the placeholder itself.
std::string SeparatorInFormat(std::string_view format, char placeholder) {
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ' ') continue;
        if (c == placeholder || c == '\'' || c == '"') return {};
        return std::string(format.substr(i, CharLength(format, i)));
    }
    return {};
}

bool Override(const char* name, std::string& value) {
    const char* text = std::getenv(name);
    if (!text) return false;
    value = text;
    return true;
}

}  // namespace

RegionalSettings RegionalSettings::FromLocaleTexts(const std::string& dateFormat,
                                                   const std::string& timeFormat,
                                                   const std::string& timeFormatAmPm,
                                                   const std::string& am, const std::string& pm) {
    RegionalSettings settings;
    if (!ShortDateFromPattern(dateFormat, settings.shortDateFormat, settings.dateSeparator)) {
        settings.shortDateFormat = "yyyy-MM-dd";
        settings.dateSeparator = "-";
    }
    const bool twelveHour = UsesTwelveHourClock(timeFormat) && !am.empty();
    const TimeShapes shapes = TimeFromPattern(timeFormat, timeFormatAmPm, twelveHour);
    settings.shortTimeFormat = shapes.shortFormat;
    settings.longTimeFormat = shapes.longFormat;
    settings.timeSeparator = shapes.separator;
    settings.amDesignator = am;
    settings.pmDesignator = pm;
    return settings;
}

RegionalSettings RegionalSettings::FromEnvironment() {
    const TimeLocale locale;
    RegionalSettings settings = FromLocaleTexts(locale.Item(D_FMT), locale.Item(T_FMT),
                                                locale.Item(T_FMT_AMPM), locale.Item(AM_STR),
                                                locale.Item(PM_STR));

    static constexpr nl_item kMonths[12] = {MON_1, MON_2, MON_3, MON_4,  MON_5,  MON_6,
                                            MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
    static constexpr nl_item kShortMonths[12] = {ABMON_1, ABMON_2, ABMON_3,  ABMON_4,
                                                 ABMON_5, ABMON_6, ABMON_7,  ABMON_8,
                                                 ABMON_9, ABMON_10, ABMON_11, ABMON_12};
    static constexpr nl_item kDays[7] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};
    static constexpr nl_item kShortDays[7] = {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4,
                                              ABDAY_5, ABDAY_6, ABDAY_7};
    for (int i = 0; i < 12; ++i) {
        std::string name = locale.Item(kMonths[i]);
        if (!name.empty()) settings.longMonthNames[i] = name;
        name = locale.Item(kShortMonths[i]);
        if (!name.empty()) settings.shortMonthNames[i] = name;
    }
    for (int i = 0; i < 7; ++i) {
        std::string name = locale.Item(kDays[i]);
        if (!name.empty()) settings.longDayNames[i] = name;
        name = locale.Item(kShortDays[i]);
        if (!name.empty()) settings.shortDayNames[i] = name;
    }

    // A format given without its separator brings its own: "dd.MM.yyyy" alone
    // must still read back the dates it writes.
    const bool dateSepSet = Override("TOLVENMARK_DATE_SEP", settings.dateSeparator);
    if (Override("TOLVENMARK_SHORT_DATE", settings.shortDateFormat) && !dateSepSet) {
        const std::string own = SeparatorInFormat(settings.shortDateFormat, '/');
        if (!own.empty()) settings.dateSeparator = own;
    }
    const bool timeSepSet = Override("TOLVENMARK_TIME_SEP", settings.timeSeparator);
    const bool shortTimeSet = Override("TOLVENMARK_SHORT_TIME", settings.shortTimeFormat);
    const bool longTimeSet = Override("TOLVENMARK_LONG_TIME", settings.longTimeFormat);
    if (!timeSepSet && (shortTimeSet || longTimeSet)) {
        const std::string own =
            SeparatorInFormat(longTimeSet ? settings.longTimeFormat : settings.shortTimeFormat, ':');
        if (!own.empty()) settings.timeSeparator = own;
    }
    Override("TOLVENMARK_LONG_DATE", settings.longDateFormat);
    Override("TOLVENMARK_AM", settings.amDesignator);
    Override("TOLVENMARK_PM", settings.pmDesignator);
    return settings;
}

namespace {
RegionalSettings* appSettings = nullptr;
}

RegionalSettings& AppRegionalSettings() {
    if (appSettings) return *appSettings;
    static RegionalSettings fallback = RegionalSettings::FromEnvironment();
    return fallback;
}

void SetAppRegionalSettings(RegionalSettings* settings) { appSettings = settings; }

}  // namespace tolvenmark
