#pragma once

#include "platform/date_time.h"

namespace tolvenmark {

// Days since 1970-01-01 of a valid calendar date (proleptic Gregorian).
long DayNumber(int year, int month, int day);

// The calendar date of a day number (time of day zero).
DateTime DateOfDayNumber(long dayNumber);

// 1 for Sunday to 7 for Saturday.
int DayOfWeek(int year, int month, int day);

}  // namespace tolvenmark
