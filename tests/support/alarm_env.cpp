#include "support/alarm_env.h"

#include <cstdio>
#include <ctime>

namespace tolvenmark::testing {

std::map<std::string, std::string> ClockEnv(const TempDir& dir) {
    return {{"TOLVENMARK_WINDIR", dir.path()},      {"XDG_RUNTIME_DIR", dir.path()},
            {"TOLVENMARK_SHORT_DATE", "M/d/yyyy"},  {"TOLVENMARK_DATE_SEP", "/"},
            {"TOLVENMARK_SHORT_TIME", "h:mm AMPM"}, {"TOLVENMARK_LONG_TIME", "h:mm:ss AMPM"},
            {"TOLVENMARK_TIME_SEP", ":"},           {"TOLVENMARK_AM", "AM"},
            {"TOLVENMARK_PM", "PM"}};
}

std::pair<std::string, std::string> LocalAlarmTexts(int secondsAhead) {
    return LocalAlarmTextsAt(std::time(nullptr) + secondsAhead);
}

std::pair<std::string, std::string> LocalAlarmTextsAt(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    const int hour = tm.tm_hour % 12 == 0 ? 12 : tm.tm_hour % 12;
    char time[32];
    std::snprintf(time, sizeof time, "%d:%02d:%02d %s", hour, tm.tm_min, tm.tm_sec, tm.tm_hour < 12 ? "AM" : "PM");
    return {std::to_string(tm.tm_mon + 1) + "/" + std::to_string(tm.tm_mday) + "/" + std::to_string(tm.tm_year + 1900),
            time};
}

}  // namespace tolvenmark::testing
