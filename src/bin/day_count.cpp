#include "bin/day_count.h"

namespace tolvenmark {

// The civil-from-days and days-from-civil conversions on 400-year eras.
long DayNumber(int year, int month, int day) {
    const long y = year - (month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long mp = (month + 9) % 12;
    const long doy = (153 * mp + 2) / 5 + day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

DateTime DateOfDayNumber(long dayNumber) {
    const long z = dayNumber + 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day, 0, 0, 0, 0};
}

int DayOfWeek(int year, int month, int day) {
    // 1970-01-01 was a Thursday (5).
    long n = DayNumber(year, month, day);
    long w = (n + 4) % 7;
    if (w < 0) w += 7;
    return static_cast<int>(w) + 1;
}

}  // namespace tolvenmark
