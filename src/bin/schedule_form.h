#pragma once

#include <array>
#include <string>

#include <QDialog>

#include "platform/config_keys.h"
#include "bin/schedule.h"
#include "bin/time_picker.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tolvenmark {

// "Schedule Alarms": turns one alarm into a daily, weekly or monthly series
// appended to "Alarms.txt" in appPath. header, date and time are the alarm
// settings dialog's values (time in the long time form, may be empty).
class TForm10 final : public QDialog {
    Q_OBJECT
public:
    TForm10(QWidget* parent, std::string appPath, ConfigKeys config, const std::string& header,
            const std::string& date, const std::string& time);

    void RadioGroup1Click();
    void MakeWeekDaysAppear();
    void MakeWeekDaysDisappear();
    void Button1Click();  // ":::"
    void Button2Click();  // "&Set Schedule and Close"
    void Button3Click();  // "&Cancel"
    void Button4Click();  // "Select &All"
    void Button5Click();  // "&Unselect All"

    ScheduleRequest Request() const;

    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QPushButton* Button1;
    TimeField* DateTimePicker1;
    std::array<QRadioButton*, 3> RadioGroup1;  // "&Daily", "&Weekly", "&Monthly by Day"
    QGroupBox* GroupBox1;
    QLabel* Label4;
    QSpinBox* SpinEdit1;
    std::array<QCheckBox*, 7> CheckBox;  // CheckBox1 (Sunday) to CheckBox7
    QLabel* Label7;
    QLabel* Label8;
    QSpinBox* SpinEdit4;
    QPushButton* Button4;
    QPushButton* Button5;
    QLabel* Label5;
    QSpinBox* SpinEdit2;
    QLabel* Label6;
    QSpinBox* SpinEdit3;
    QPushButton* Button2;
    QPushButton* Button3;

private:
    int Interval() const;

    std::string appPath_;
    ConfigKeys config_;
};

}  // namespace tolvenmark
