#pragma once

#include <QDialog>

#include "bin/calendar_date.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tolvenmark {

// "Calendar": picks a date into the CalendarResult slot that
// AppHandovers().calendarCaller names. Starts on the date of the field it is
// opened from (AppHandovers().calendarOpening), else on today's, with the
// keyboard in the day grid.
class TForm3 final : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent);

    const CalendarDate& Date() const { return date_; }

    void ComboBox1Change();
    void SpinEdit1Change();
    void Calendar1Click(int row, int column);
    void Calendar1DblClick(int row, int column);
    void Button1Click();  // "&OK"
    void Button2Click();  // "&Cancel"

    QComboBox* ComboBox1;
    QLineEdit* SpinEdit1;
    QTableWidget* Calendar1;
    QPushButton* Button1;
    QPushButton* Button2;

private:
    void ShowDate();

    CalendarDate date_;
};

// Opens the calendar for a caller (2 to 5) and, when that caller's slot
// holds a date (picked now or on an earlier opening), puts it into field.
void PickCalendarDate(QWidget* parent, int caller, QLineEdit& field);

}  // namespace tolvenmark
