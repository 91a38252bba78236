#pragma once

#include <QDialog>

#include "bin/time_picker.h"

class QLineEdit;
class QPushButton;

namespace tolvenmark {

// "Edit Alarm": changes AppHandovers().editedAlarm, only on "&Save Changes
// and Close" (the time then in the long time form).
class TForm9 final : public QDialog {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent);

    void Button1Click();  // ":::"
    void Button2Click();  // "&Save Changes and Close"
    void Button3Click();  // "&Cancel"

    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QPushButton* Button1;
    TimeField* DateTimePicker1;
    QPushButton* Button2;
    QPushButton* Button3;
};

}  // namespace tolvenmark
