#pragma once

#include <compare>

namespace tolvenmark {

// A local calendar date and time of day, as the clock shows and compares them.
struct DateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    auto operator<=>(const DateTime&) const = default;

    // Only the calendar day or only the time of day, for comparisons that ignore the other.
    DateTime DatePart() const { return {year, month, day, 0, 0, 0, 0}; }
    DateTime TimePart() const { return {1899, 12, 30, hour, minute, second, millisecond}; }
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
bool IsValidDate(int year, int month, int day);

}  // namespace tolvenmark
