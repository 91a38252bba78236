#include "bin/calendar_date.h"

#include "bin/day_count.h"
#include "platform/conversion_error.h"
#include "platform/date_time.h"
#include "platform/date_time_text.h"

namespace tolvenmark {

namespace {

bool IsThirtyDayMonth(int month) { return month == 4 || month == 6 || month == 9 || month == 11; }

// The day the month list and the year field leave selected in month/year.
int AdjustedDay(int day, int month, int year) {
    if (IsThirtyDayMonth(month) && day > 30) return 30;
    if (month == 2 && (day == 30 || day == 31)) return 28;
    if (month == 2 && day == 29 && !IsLeapYear(year)) return 28;
    return day;
}

void CheckEncodable(int year, int month, int day) {
    if (!IsValidDate(year, month, day)) throw ConversionError("Invalid argument to date encode");
}

}  // namespace

void CalendarDate::SetYear(int year) {
    if (year < 1) return;
    CheckEncodable(year, month_, day_);
    year_ = year;
}

void CalendarDate::SetMonth(int month) {
    if (month < 1 || month > 12) return;
    CheckEncodable(year_, month, day_);
    month_ = month;
}

void CalendarDate::SetDay(int day) {
    if (day < 1 || day > DaysInMonth(year_, month_)) return;
    day_ = day;
}

void CalendarDate::ChooseMonth(int month) {
    // January 31 to February keeps no day 29 even in a leap year: the table
    // the list follows takes 30 and 31 straight to 28.
    const int day = AdjustedDay(day_, month, year_);
    if (month < 1 || month > 12) return;
    day_ = day;
    SetMonth(month);
}

void CalendarDate::ChangeYear(const std::string& yearText, int shownMonth) {
    const int year = StrToIntDef(yearText, 0);
    if (year < 1) return;
    const int day = shownMonth == 2 || IsThirtyDayMonth(shownMonth)
                        ? AdjustedDay(day_, shownMonth, year)
                        : day_;
    CheckEncodable(year, month_, day);  // a failed year leaves the old date whole
    day_ = day;
    year_ = year;
}

int CalendarDate::CellDay(int row, int column) const {
    const int offset = DayOfWeek(year_, month_, 1) - 1;
    const int day = row * 7 + column - offset + 1;
    return day >= 1 && day <= DaysInMonth(year_, month_) ? day : 0;
}

}  // namespace tolvenmark
