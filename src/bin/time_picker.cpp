#include "bin/time_picker.h"

#include <QTimeEdit>

namespace tolvenmark {

QTimeEdit* MakeTimePicker(QWidget* parent, int left, int top, int width) {
    auto* picker = new QTimeEdit(parent);
    picker->setGeometry(left, top, width, 21);
    picker->setDisplayFormat("h:mm:ss AP");
    return picker;
}

void SetPickerTime(QTimeEdit& picker, const DateTime& time) {
    picker.setTime(QTime(time.hour, time.minute, time.second));
}

DateTime PickerTime(const QTimeEdit& picker) {
    const QTime t = picker.time();
    return {1899, 12, 30, t.hour(), t.minute(), t.second(), 0};
}

}  // namespace tolvenmark
