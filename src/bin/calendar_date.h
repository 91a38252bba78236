#pragma once

#include <string>

namespace tolvenmark {

// The date the calendar's day grid holds, with the grid's rules: setting a
// part ignores a value below 1, a month above 12 and a day past the month's
// end. A year above 9999 does not convert (ConversionError); the date stays.
class CalendarDate {
public:
    CalendarDate(int year, int month, int day) : year_(year), month_(month), day_(day) {}

    int Year() const { return year_; }
    int Month() const { return month_; }
    int Day() const { return day_; }

    void SetYear(int year);
    void SetMonth(int month);
    void SetDay(int day);

    // The month list: the day is brought within the new month first.
    void ChooseMonth(int month);
    // The year field: its text as a number (empty or not a number is 0,
    // which is ignored); a day that would not exist in that year while the
    // month list shows shownMonth is brought within the month first.
    void ChangeYear(const std::string& yearText, int shownMonth);

    // The day shown in a cell of the six-week grid (Sunday first), 0 for the
    // blank cells outside the month.
    int CellDay(int row, int column) const;

private:
    int year_;
    int month_;
    int day_;
};

}  // namespace tolvenmark
