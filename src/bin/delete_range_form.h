#pragma once

#include <QDialog>

#include "bin/bin_files.h"

class QLineEdit;
class QPushButton;

namespace tolvenmark {

// "Delete Range of Alarms": empties the rows of the storage bin's saved
// alarm list that fall within a date range. rows are the storage bin's
// rows 1 to d, changed in place.
class TForm11 final : public QDialog {
    Q_OBJECT
public:
    TForm11(QWidget* parent, SavedAlarmList& rows);

    void Button1Click();  // ":::" start date
    void Button2Click();  // ":::" ending date
    void Button3Click();  // "Delete Alarms in Date &Range"
    void Button4Click();  // "&Done"
    void Button5Click();  // "&Clear Dates"

    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* Button5;

private:
    SavedAlarmList& rows_;
};

}  // namespace tolvenmark
