#include "platform/date_time_text.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/conversion_error.h"

namespace tolvenmark {
namespace {

// Four machines the clock meets: month/day/year with 12-hour times after,
// day.month.year with 24-hour times and no designators, ISO dates, and a
// year-first date with the designator before the hour.
RegionalSettings UnitedStates() { return {}; }

RegionalSettings German() {
    RegionalSettings s;
    s.shortDateFormat = "dd.MM.yyyy";
    s.dateSeparator = ".";
    s.shortTimeFormat = "hh:mm";
    s.longTimeFormat = "hh:mm:ss";
    s.amDesignator = "";
    s.pmDesignator = "";
    return s;
}

RegionalSettings Iso() {
    RegionalSettings s = German();
    s.shortDateFormat = "yyyy-MM-dd";
    s.dateSeparator = "-";
    return s;
}

RegionalSettings Korean() {
    RegionalSettings s;
    s.shortDateFormat = "yy/MM/dd";
    s.dateSeparator = "/";
    s.shortTimeFormat = "AMPM h:mm";
    s.longTimeFormat = "AMPM h:mm:ss";
    s.amDesignator = "\xEC\x98\xA4\xEC\xA0\x84";  // morning
    s.pmDesignator = "\xEC\x98\xA4\xED\x9B\x84";  // afternoon
    return s;
}

struct Named {
    const char* name;
    RegionalSettings (*make)();
};
const Named kMachines[] = {
    {"UnitedStates", UnitedStates}, {"German", German}, {"Iso", Iso}, {"Korean", Korean}};

DateTime Date(int y, int m, int d) { return {y, m, d, 0, 0, 0, 0}; }
DateTime Time(int h, int n, int s, int ms = 0) { return {1899, 12, 30, h, n, s, ms}; }

struct FormatCase {
    const char* machine;
    const char* format;
    DateTime value;
    const char* expected;
};

RegionalSettings Machine(const std::string& name) {
    for (const Named& m : kMachines)
        if (name == m.name) return m.make();
    ADD_FAILURE() << "no machine " << name;
    return {};
}

class FormatDateTimeTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatDateTimeTest, Formats) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatDateTime(c.format, c.value, Machine(c.machine)), c.expected) << c.format;
}

const DateTime kTuesday{2024, 3, 5, 13, 5, 9, 0};

INSTANTIATE_TEST_SUITE_P(
    Tokens, FormatDateTimeTest,
    ::testing::Values(
        FormatCase{"UnitedStates", "M/d/yyyy", kTuesday, "3/5/2024"},
        FormatCase{"UnitedStates", "MM/dd/yy", kTuesday, "03/05/24"},
        FormatCase{"German", "dd.MM.yyyy", kTuesday, "05.03.2024"},
        FormatCase{"German", "d/m/yy", kTuesday, "5.3.24"},  // "/" is the separator
        FormatCase{"Iso", "ddddd", kTuesday, "2024-03-05"},
        FormatCase{"UnitedStates", "dddd, mmmm d, yyyy", kTuesday, "Tuesday, March 5, 2024"},
        FormatCase{"UnitedStates", "ddd mmm", kTuesday, "Tue Mar"},
        FormatCase{"UnitedStates", "dddd", Date(2000, 1, 1), "Saturday"},
        FormatCase{"UnitedStates", "dddd", Date(1900, 3, 1), "Thursday"},
        FormatCase{"UnitedStates", "yyyy", Date(45, 1, 1), "0045"},
        FormatCase{"UnitedStates", "yy", Date(2007, 1, 1), "07"},
        // m right after an hour is the minute, even across literals.
        FormatCase{"German", "hh:mm", kTuesday, "13:05"},
        FormatCase{"German", "hh 'at' m", kTuesday, "13 at 5"},
        FormatCase{"German", "mm hh", kTuesday, "03 13"},
        FormatCase{"UnitedStates", "hh AMPM mm", kTuesday, "01 PM 03"},
        FormatCase{"German", "h:n:s", Time(7, 4, 3), "7:4:3"},
        FormatCase{"German", "hhh:nnn:sss", Time(7, 4, 3), "07:04:03"},
        // 12-hour clock with a designator after or before the hour.
        FormatCase{"UnitedStates", "h:mm:ss AMPM", Time(0, 0, 0), "12:00:00 AM"},
        FormatCase{"UnitedStates", "h:mm:ss AMPM", Time(12, 0, 0), "12:00:00 PM"},
        FormatCase{"UnitedStates", "h:mm:ss AMPM", Time(13, 5, 9), "1:05:09 PM"},
        FormatCase{"UnitedStates", "hh:nn am/pm", Time(23, 59, 0), "11:59 pm"},
        FormatCase{"UnitedStates", "hh:nn AM/pm", Time(1, 0, 0), "01:00 AM"},
        FormatCase{"UnitedStates", "h a/p", Time(15, 0, 0), "3 p"},
        FormatCase{"UnitedStates", "h A/P", Time(3, 0, 0), "3 A"},
        FormatCase{"UnitedStates", "h 'AMPM'", Time(15, 0, 0), "15 AMPM"},
        FormatCase{"Korean", "AMPM h:mm", Time(21, 7, 0), "\xEC\x98\xA4\xED\x9B\x84 9:07"},
        FormatCase{"Korean", "AMPM h:mm", Time(0, 7, 0), "\xEC\x98\xA4\xEC\xA0\x84 12:07"},
        FormatCase{"German", "hh:nn AMPM", Time(13, 0, 0), "01:00 "},
        // Literals and other characters.
        FormatCase{"UnitedStates", "\"Day\" d 'of' m", kTuesday, "Day 5 of 3"},
        FormatCase{"UnitedStates", "'unclosed", kTuesday, "unclosed"},
        FormatCase{"UnitedStates", "d#-x", kTuesday, "5#-x"},
        FormatCase{"UnitedStates", "", kTuesday, ""},
        // Whole regional formats named by one token.
        FormatCase{"UnitedStates", "c", kTuesday, "3/5/2024 1:05:09 PM"},
        FormatCase{"UnitedStates", "C", Date(2024, 3, 5), "3/5/2024"},
        FormatCase{"UnitedStates", "c", DateTime{2024, 3, 5, 0, 0, 0, 1}, "3/5/2024 12:00:00 AM"},
        FormatCase{"Korean", "c", kTuesday, "24/03/05 \xEC\x98\xA4\xED\x9B\x84 1:05:09"},
        FormatCase{"German", "t", kTuesday, "13:05"},
        FormatCase{"German", "tt", kTuesday, "13:05:09"},
        FormatCase{"UnitedStates", "T|ttt", kTuesday, "1:05 PM|1:05:09 PM"},
        FormatCase{"UnitedStates", "'t' t", kTuesday, "t 1:05 PM"},
        FormatCase{"German", "ddddd", kTuesday, "05.03.2024"},
        FormatCase{"UnitedStates", "dddddd", kTuesday, "Tuesday, March 05, 2024"},
        FormatCase{"UnitedStates", "ddddddd", kTuesday, "Tuesday, March 05, 2024"}));

struct DateCase {
    const char* machine;
    const char* text;
    int currentYear;
    std::optional<DateTime> expected;  // empty: not a valid date
};

void PrintTo(const DateCase& c, std::ostream* os) { *os << c.machine << " '" << c.text << "'"; }

class StrToDateTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(StrToDateTest, Reads) {
    const DateCase& c = GetParam();
    const RegionalSettings settings = Machine(c.machine);
    if (c.expected) {
        EXPECT_EQ(StrToDate(c.text, settings, c.currentYear), *c.expected);
    } else {
        EXPECT_THROW(StrToDate(c.text, settings, c.currentYear), ConversionError);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Dates, StrToDateTest,
    ::testing::Values(
        DateCase{"UnitedStates", "3/5/2024", 2024, Date(2024, 3, 5)},
        DateCase{"UnitedStates", " 3 / 5 / 2024 ", 2024, Date(2024, 3, 5)},
        DateCase{"UnitedStates", "3/5/2024/", 2024, Date(2024, 3, 5)},
        DateCase{"UnitedStates", "3/5", 2031, Date(2031, 3, 5)},
        DateCase{"UnitedStates", "2/29/2024", 2024, Date(2024, 2, 29)},
        DateCase{"UnitedStates", "12/31/9999", 2024, Date(9999, 12, 31)},
        DateCase{"UnitedStates", "03/05/0024", 2024, Date(24, 3, 5)},  // four digits: no century
        DateCase{"UnitedStates", "2/29/2023", 2024, std::nullopt},
        DateCase{"UnitedStates", "2/30/2024", 2024, std::nullopt},
        DateCase{"UnitedStates", "13/1/2024", 2024, std::nullopt},
        DateCase{"UnitedStates", "0/1/2024", 2024, std::nullopt},
        DateCase{"UnitedStates", "1/1/0", 2024, Date(2000, 1, 1)},
        DateCase{"UnitedStates", "1/1/0000", 2024, std::nullopt},
        DateCase{"UnitedStates", "3/5/20031", 2024, std::nullopt},  // reads 2003, "1" is left
        DateCase{"UnitedStates", "3/5/2024x", 2024, std::nullopt},
        DateCase{"UnitedStates", "3-5-2024", 2024, std::nullopt},
        DateCase{"UnitedStates", "3//5", 2024, std::nullopt},
        DateCase{"UnitedStates", "3", 2024, std::nullopt},
        DateCase{"UnitedStates", "", 2024, std::nullopt},
        DateCase{"UnitedStates", "\t3/5/2024", 2024, std::nullopt},
        DateCase{"UnitedStates", "-3/5/2024", 2024, std::nullopt},
        DateCase{"German", "05.03.2024", 2024, Date(2024, 3, 5)},
        DateCase{"German", "5.3", 2030, Date(2030, 3, 5)},
        DateCase{"German", "5.3.", 2030, std::nullopt},  // a separator asks for the year
        DateCase{"German", "05.03.2024.", 2024, Date(2024, 3, 5)},
        DateCase{"German", "31.4.2024", 2024, std::nullopt},
        DateCase{"German", "05/03/2024", 2024, std::nullopt},
        DateCase{"Iso", "2024-03-05", 2024, Date(2024, 3, 5)},
        DateCase{"Iso", "3-5", 2024, Date(2024, 3, 5)},  // two numbers are month and day
        DateCase{"Korean", "24/03/05", 2024, Date(2024, 3, 5)},
        DateCase{"Korean", "2024/03/05", 2024, Date(2024, 3, 5)}));

// Two-digit years fall within the window before the current year.
struct CenturyCase {
    int currentYear;
    int window;
    const char* text;
    int year;
};

void PrintTo(const CenturyCase& c, std::ostream* os) {
    *os << c.currentYear << " window " << c.window << " '" << c.text << "'";
}

class TwoDigitYearTest : public ::testing::TestWithParam<CenturyCase> {};

TEST_P(TwoDigitYearTest, PlacesTheCentury) {
    const CenturyCase& c = GetParam();
    RegionalSettings settings;
    settings.twoDigitYearCenturyWindow = c.window;
    EXPECT_EQ(StrToDate(c.text, settings, c.currentYear).year, c.year) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Windows, TwoDigitYearTest,
    ::testing::Values(CenturyCase{2024, 50, "1/1/24", 2024}, CenturyCase{2024, 50, "1/1/74", 1974},
                      CenturyCase{2024, 50, "1/1/73", 2073}, CenturyCase{2024, 50, "1/1/99", 1999},
                      CenturyCase{2024, 50, "1/1/00", 2000}, CenturyCase{2024, 50, "1/1/5", 2005},
                      CenturyCase{2024, 0, "1/1/99", 2099}, CenturyCase{2024, 0, "1/1/23", 2023},
                      CenturyCase{1999, 50, "1/1/48", 2048}, CenturyCase{1999, 50, "1/1/49", 1949}));

TEST(StrToDateTest, FirstLetterOfTheFormatDecidesTheOrder) {
    RegionalSettings settings;
    settings.dateSeparator = "/";
    settings.shortDateFormat = "yyyy/dd/MM";  // still read as year/month/day
    EXPECT_EQ(StrToDate("2024/03/05", settings, 2024), Date(2024, 3, 5));
    settings.shortDateFormat = "dd/yyyy/MM";  // day first: day/month/year
    EXPECT_EQ(StrToDate("05/03/2024", settings, 2024), Date(2024, 3, 5));
    settings.shortDateFormat = "'Date' MM/dd";  // quoted letters count too
    EXPECT_EQ(StrToDate("05/03/2024", settings, 2024), Date(2024, 3, 5));
}

struct TimeCase {
    const char* machine;
    const char* text;
    std::optional<DateTime> expected;
};

void PrintTo(const TimeCase& c, std::ostream* os) { *os << c.machine << " '" << c.text << "'"; }

class StrToTimeTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(StrToTimeTest, Reads) {
    const TimeCase& c = GetParam();
    const RegionalSettings settings = Machine(c.machine);
    if (c.expected) {
        EXPECT_EQ(StrToTime(c.text, settings), *c.expected);
    } else {
        EXPECT_THROW(StrToTime(c.text, settings), ConversionError);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Times, StrToTimeTest,
    ::testing::Values(
        TimeCase{"UnitedStates", "1:05:09 PM", Time(13, 5, 9)},
        TimeCase{"UnitedStates", "12:00 AM", Time(0, 0, 0)},
        TimeCase{"UnitedStates", "12:30 pm", Time(12, 30, 0)},
        TimeCase{"UnitedStates", "9 am", Time(9, 0, 0)},
        TimeCase{"UnitedStates", "PM 1:05", Time(13, 5, 0)},
        TimeCase{"UnitedStates", " 7 : 15 ", Time(7, 15, 0)},
        TimeCase{"UnitedStates", "23:59:59", Time(23, 59, 59)},
        TimeCase{"UnitedStates", "1:05:09.250", Time(1, 5, 9, 250)},
        TimeCase{"UnitedStates", "13:00 PM", std::nullopt},
        TimeCase{"UnitedStates", "0:30 AM", std::nullopt},
        TimeCase{"UnitedStates", "PM 1:05 PM", std::nullopt},
        TimeCase{"UnitedStates", "24:00", std::nullopt},
        TimeCase{"UnitedStates", "1:60", std::nullopt},
        TimeCase{"UnitedStates", "1:05:60", std::nullopt},
        TimeCase{"UnitedStates", "1:05:", std::nullopt},
        TimeCase{"UnitedStates", "1:05:09.", std::nullopt},
        TimeCase{"UnitedStates", "7:15 XM", std::nullopt},
        TimeCase{"UnitedStates", "1.05", std::nullopt},
        TimeCase{"UnitedStates", "", std::nullopt},
        TimeCase{"UnitedStates", "AM", std::nullopt},
        TimeCase{"German", "13:05:09", Time(13, 5, 9)},
        TimeCase{"German", "1:05 PM", Time(13, 5, 0)},  // the literal designator still reads
        TimeCase{"Korean", "\xEC\x98\xA4\xED\x9B\x84 9:07:00", Time(21, 7, 0)},
        TimeCase{"Korean", "9:07 \xEC\x98\xA4\xEC\xA0\x84", Time(9, 7, 0)},
        TimeCase{"Korean", "\xEC\x98\xA4\xEC\xA0\x84 12:00", Time(0, 0, 0)}));

TEST(StrToTimeTest, UsesTheTimeSeparator) {
    RegionalSettings settings = German();
    settings.timeSeparator = ".";
    EXPECT_EQ(StrToTime("13.05.09", settings), Time(13, 5, 9));
    EXPECT_EQ(StrToTime("13.05.09.5", settings), Time(13, 5, 9, 5));
    EXPECT_THROW(StrToTime("13:05", settings), ConversionError);
}

// What the clock writes it must read back, on every machine.
TEST(DateTimeTextTest, TextsReadBackOnEveryMachine) {
    for (const Named& machine : kMachines) {
        SCOPED_TRACE(machine.name);
        const RegionalSettings settings = machine.make();
        for (const DateTime& d : {Date(2024, 1, 1), Date(2024, 2, 29), Date(2031, 12, 31),
                                  Date(1999, 7, 4)}) {
            const std::string text = DateToStr(d, settings);
            EXPECT_EQ(StrToDate(text, settings, 2024), d) << text;
        }
        for (int hour = 0; hour < 24; ++hour) {
            const DateTime t = Time(hour, 59, 7);
            const std::string text = TimeToStr(t, settings);
            EXPECT_EQ(StrToTime(text, settings), t) << text;
            const std::string shortText = FormatDateTime(settings.shortTimeFormat, t, settings);
            EXPECT_EQ(StrToTime(shortText, settings), Time(hour, 59, 0)) << shortText;
        }
    }
}

TEST(DateTimeTextTest, ErrorMessagesQuoteTheText) {
    const RegionalSettings settings;
    auto message = [](auto&& call) -> std::string {
        try {
            call();
        } catch (const ConversionError& e) {
            return e.what();
        }
        return "no error";
    };
    EXPECT_EQ(message([&] { StrToDate("31/31/2024", settings, 2024); }),
              "'31/31/2024' is not a valid date");
    EXPECT_EQ(message([&] { StrToTime("25:00", settings); }), "'25:00' is not a valid time");
    EXPECT_EQ(message([] { StrToInt("12a"); }), "'12a' is not a valid integer value");
    EXPECT_EQ(message([] { StrToInt(""); }), "'' is not a valid integer value");
}

struct IntCase {
    const char* text;
    std::optional<std::int32_t> expected;
};

void PrintTo(const IntCase& c, std::ostream* os) { *os << "'" << c.text << "'"; }

class StrToIntTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(StrToIntTest, Reads) {
    const IntCase& c = GetParam();
    if (c.expected) {
        EXPECT_EQ(StrToInt(c.text), *c.expected);
        EXPECT_EQ(StrToIntDef(c.text, 99), *c.expected);
    } else {
        EXPECT_THROW(StrToInt(c.text), ConversionError);
        EXPECT_EQ(StrToIntDef(c.text, 99), 99);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Integers, StrToIntTest,
    ::testing::Values(IntCase{"0", 0}, IntCase{"123", 123}, IntCase{"  42", 42}, IntCase{"+7", 7},
                      IntCase{"-7", -7}, IntCase{"00012", 12}, IntCase{"2147483647", 2147483647},
                      IntCase{"-2147483648", INT32_MIN}, IntCase{"$FF", 255},
                      IntCase{"0x1f", 31}, IntCase{"0X1F", 31}, IntCase{"x10", 16},
                      IntCase{"X10", 16}, IntCase{"-$10", -16}, IntCase{"$7FFFFFFF", 2147483647},
                      IntCase{"$FFFFFFFF", -1}, IntCase{"$80000000", INT32_MIN},
                      IntCase{"$000000010", 16}, IntCase{"2147483648", std::nullopt},
                      IntCase{"-2147483649", std::nullopt}, IntCase{"99999999999", std::nullopt},
                      IntCase{"$100000000", std::nullopt}, IntCase{"42 ", std::nullopt},
                      IntCase{"\t5", std::nullopt}, IntCase{"", std::nullopt},
                      IntCase{" ", std::nullopt}, IntCase{"-", std::nullopt},
                      IntCase{"+-1", std::nullopt}, IntCase{"$", std::nullopt},
                      IntCase{"0x", std::nullopt}, IntCase{"x", std::nullopt},
                      IntCase{"$G", std::nullopt}, IntCase{"1 2", std::nullopt},
                      IntCase{"12a", std::nullopt}, IntCase{"1.0", std::nullopt},
                      IntCase{"- 1", std::nullopt}));

}  // namespace
}  // namespace tolvenmark
