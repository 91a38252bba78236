#pragma once

#include <array>
#include <string>

namespace tolvenmark {

// The machine's date and time formats, in the shapes the clock expects:
// shortDateFormat uses M, d and y fields with one separator ("/" stands for
// dateSeparator); the time formats are an optional "AMPM " prefix, h or hh,
// ":mm" (":mm:ss" for the long one) and an optional " AMPM" postfix.
struct RegionalSettings {
    std::string shortDateFormat = "M/d/yyyy";
    std::string longDateFormat = "dddd, MMMM dd, yyyy";  // only ever formatted, never read back
    std::string dateSeparator = "/";
    std::string shortTimeFormat = "h:mm AMPM";
    std::string longTimeFormat = "h:mm:ss AMPM";
    std::string timeSeparator = ":";
    std::string amDesignator = "AM";
    std::string pmDesignator = "PM";
    std::array<std::string, 12> shortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> longMonthNames{"January", "February", "March",     "April",
                                               "May",     "June",     "July",      "August",
                                               "September", "October", "November", "December"};
    // Sunday first, as the runtime numbers them.
    std::array<std::string, 7> shortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> longDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    // Two-digit years are placed within this many years before the current one.
    int twoDigitYearCenturyWindow = 50;

    bool operator==(const RegionalSettings&) const = default;

    // From the user's LC_TIME, then the TOLVENMARK_* environment overrides.
    static RegionalSettings FromEnvironment();

    // The date and time shapes from a locale's texts (nl_langinfo's D_FMT,
    // T_FMT, T_FMT_AMPM, AM_STR, PM_STR); names keep their defaults.
    static RegionalSettings FromLocaleTexts(const std::string& dateFormat,
                                            const std::string& timeFormat,
                                            const std::string& timeFormatAmPm,
                                            const std::string& am, const std::string& pm);
};

// The settings every window formats and reads with, set once at start (tests
// set their own). The main window's tick keeps its short time format in the
// alarm-time shape, so it is shared, never copied.
RegionalSettings& AppRegionalSettings();
void SetAppRegionalSettings(RegionalSettings* settings);

}  // namespace tolvenmark
