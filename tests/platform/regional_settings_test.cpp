#include "platform/regional_settings.h"

#include <clocale>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tolvenmark {
namespace {

// Sets environment variables for one test and puts the old values back.
class EnvGuard {
public:
    ~EnvGuard() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
    }
    void Set(const std::string& name, const std::string& value) {
        Remember(name);
        setenv(name.c_str(), value.c_str(), 1);
    }
    void Unset(const std::string& name) {
        Remember(name);
        unsetenv(name.c_str());
    }

private:
    void Remember(const std::string& name) {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

const char* const kOverrides[] = {"TOLVENMARK_SHORT_DATE", "TOLVENMARK_DATE_SEP",
                                  "TOLVENMARK_SHORT_TIME", "TOLVENMARK_LONG_TIME",
                                  "TOLVENMARK_TIME_SEP",   "TOLVENMARK_AM",
                                  "TOLVENMARK_PM"};

// A clean slate: the given LC_TIME and no overrides.
void UseLocale(EnvGuard& env, const std::string& lcTime) {
    env.Unset("LC_ALL");
    env.Unset("LANG");
    env.Set("LC_TIME", lcTime);
    for (const char* name : kOverrides) env.Unset(name);
}

void ExpectCLocale(const RegionalSettings& s) {
    EXPECT_EQ(s.shortDateFormat, "MM/dd/yy");
    EXPECT_EQ(s.dateSeparator, "/");
    EXPECT_EQ(s.shortTimeFormat, "hh:mm");
    EXPECT_EQ(s.longTimeFormat, "hh:mm:ss");
    EXPECT_EQ(s.timeSeparator, ":");
    EXPECT_EQ(s.amDesignator, "AM");
    EXPECT_EQ(s.pmDesignator, "PM");
    EXPECT_EQ(s.longMonthNames[0], "January");
    EXPECT_EQ(s.shortMonthNames[11], "Dec");
    EXPECT_EQ(s.longDayNames[0], "Sunday");
    EXPECT_EQ(s.shortDayNames[6], "Sat");
}

TEST(RegionalSettingsTest, CLocale) {
    EnvGuard env;
    UseLocale(env, "C");
    ExpectCLocale(RegionalSettings::FromEnvironment());
}

TEST(RegionalSettingsTest, UnknownLocaleFallsBackToC) {
    EnvGuard env;
    UseLocale(env, "xx_NOWHERE.UTF-8");
    ExpectCLocale(RegionalSettings::FromEnvironment());
}

TEST(RegionalSettingsTest, LeavesTheProcessLocaleAlone) {
    EnvGuard env;
    UseLocale(env, "C.UTF-8");
    const std::string before = std::setlocale(LC_ALL, nullptr);
    RegionalSettings::FromEnvironment();
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), before);
}

TEST(RegionalSettingsTest, EnvironmentOverridesEachValue) {
    EnvGuard env;
    UseLocale(env, "C");
    env.Set("TOLVENMARK_SHORT_DATE", "d.M.yyyy");
    env.Set("TOLVENMARK_DATE_SEP", "-");
    env.Set("TOLVENMARK_SHORT_TIME", "h:mm AMPM");
    env.Set("TOLVENMARK_LONG_TIME", "h:mm:ss AMPM");
    env.Set("TOLVENMARK_TIME_SEP", ".");
    env.Set("TOLVENMARK_AM", "vorm.");
    env.Set("TOLVENMARK_PM", "");
    const RegionalSettings s = RegionalSettings::FromEnvironment();
    EXPECT_EQ(s.shortDateFormat, "d.M.yyyy");
    EXPECT_EQ(s.dateSeparator, "-");
    EXPECT_EQ(s.shortTimeFormat, "h:mm AMPM");
    EXPECT_EQ(s.longTimeFormat, "h:mm:ss AMPM");
    EXPECT_EQ(s.timeSeparator, ".");
    EXPECT_EQ(s.amDesignator, "vorm.");
    EXPECT_EQ(s.pmDesignator, "");
}

// A format given alone brings its separator, so what is written reads back.
TEST(RegionalSettingsTest, FormatOverrideWithoutSeparatorUsesItsOwn) {
    struct Case {
        const char* date;
        const char* dateSep;
        const char* time;
        const char* timeSep;
    };
    const Case cases[] = {{"dd.MM.yyyy", ".", "hh.mm.ss", "."},
                          {"M/d/yyyy", "/", "h:mm:ss AMPM", ":"},
                          {"yyyy-MM-dd", "-", "AMPM h:mm:ss", ":"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        EnvGuard env;
        UseLocale(env, "C");
        env.Set("TOLVENMARK_SHORT_DATE", c.date);
        env.Set("TOLVENMARK_LONG_TIME", c.time);
        const RegionalSettings s = RegionalSettings::FromEnvironment();
        EXPECT_EQ(s.dateSeparator, c.dateSep);
        EXPECT_EQ(s.timeSeparator, c.timeSep);
    }
}

struct LocaleCase {
    const char* what;
    const char* dateFormat;
    const char* timeFormat;
    const char* timeFormatAmPm;
    const char* am;
    const char* shortDate;
    const char* dateSeparator;
    const char* shortTime;
    const char* longTime;
    const char* timeSeparator;
};

void PrintTo(const LocaleCase& c, std::ostream* os) { *os << c.what; }

class LocaleTextsTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleTextsTest, Shapes) {
    const LocaleCase& c = GetParam();
    const RegionalSettings s =
        RegionalSettings::FromLocaleTexts(c.dateFormat, c.timeFormat, c.timeFormatAmPm, c.am, "PM");
    EXPECT_EQ(s.shortDateFormat, c.shortDate);
    EXPECT_EQ(s.dateSeparator, c.dateSeparator);
    EXPECT_EQ(s.shortTimeFormat, c.shortTime);
    EXPECT_EQ(s.longTimeFormat, c.longTime);
    EXPECT_EQ(s.timeSeparator, c.timeSeparator);
}

// Patterns as glibc's locales give them.
INSTANTIATE_TEST_SUITE_P(
    Patterns, LocaleTextsTest,
    ::testing::Values(
        LocaleCase{"en_US", "%m/%d/%Y", "%r", "%I:%M:%S %p", "AM", "MM/dd/yyyy", "/", "hh:mm AMPM",
                   "hh:mm:ss AMPM", ":"},
        LocaleCase{"de_DE", "%d.%m.%Y", "%T", "", "", "dd.MM.yyyy", ".", "hh:mm", "hh:mm:ss", ":"},
        LocaleCase{"sv_SE", "%Y-%m-%d", "%H:%M:%S", "", "", "yyyy-MM-dd", "-", "hh:mm", "hh:mm:ss", ":"},
        LocaleCase{"%D", "%D", "%R", "", "", "MM/dd/yy", "/", "hh:mm", "hh:mm:ss", ":"},
        LocaleCase{"%F", "%F", "%T", "", "", "yyyy-MM-dd", "-", "hh:mm", "hh:mm:ss", ":"},
        LocaleCase{"unpadded fields", "%e.%-m.%y", "%k.%M.%S", "", "", "d.M.yy", ".", "h:mm",
                   "h:mm:ss", "."},
        LocaleCase{"designator first", "%Y/%m/%d", "%p %I:%M:%S", "", "AM", "yyyy/MM/dd", "/",
                   "AMPM hh:mm", "AMPM hh:mm:ss", ":"},
        LocaleCase{"unpadded 12-hour", "%d/%m/%Y", "%l:%M:%S %p", "", "am", "dd/MM/yyyy", "/",
                   "h:mm AMPM", "h:mm:ss AMPM", ":"},
        LocaleCase{"12-hour without designators", "%d/%m/%Y", "%I:%M:%S %p", "", "", "dd/MM/yyyy",
                   "/", "hh:mm", "hh:mm:ss", ":"},
        LocaleCase{"%r without T_FMT_AMPM", "%m/%d/%y", "%r", "", "AM", "MM/dd/yy", "/",
                   "hh:mm AMPM", "hh:mm:ss AMPM", ":"},
        LocaleCase{"letters between fields", "%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5", "%H:%M:%S",
                   "", "", "yyyy-MM-dd", "-", "hh:mm", "hh:mm:ss", ":"},
        LocaleCase{"words between time fields", "%Y/%m/%d", "%H\xE6\x99\x82%M\xE5\x88\x86%S\xE7\xA7\x92", "",
                   "", "yyyy/MM/dd", "/", "hh:mm", "hh:mm:ss", ":"},
        LocaleCase{"two separators", "%d/%m-%Y", "%T", "", "", "yyyy-MM-dd", "-", "hh:mm", "hh:mm:ss", ":"},
        LocaleCase{"blank separator", "%d %m %Y", "%T", "", "", "yyyy-MM-dd", "-", "hh:mm", "hh:mm:ss", ":"},
        LocaleCase{"day name in front", "%a %d/%m/%Y", "%T", "", "", "yyyy-MM-dd", "-", "hh:mm",
                   "hh:mm:ss", ":"},
        LocaleCase{"trailing text", "%Y. %m. %d.", "%T", "", "", "yyyy-MM-dd", "-", "hh:mm", "hh:mm:ss", ":"},
        LocaleCase{"a field twice", "%d/%d/%Y", "%T", "", "", "yyyy-MM-dd", "-", "hh:mm", "hh:mm:ss", ":"},
        LocaleCase{"empty", "", "", "", "", "yyyy-MM-dd", "-", "hh:mm", "hh:mm:ss", ":"}));

}  // namespace
}  // namespace tolvenmark
