#pragma once

#include "platform/date_time.h"

class QTimeEdit;
class QWidget;

namespace tolvenmark {

// A time-of-day picker with up-down arrows and seconds.
QTimeEdit* MakeTimePicker(QWidget* parent, int left, int top, int width);
void SetPickerTime(QTimeEdit& picker, const DateTime& time);
DateTime PickerTime(const QTimeEdit& picker);  // on 1899-12-30

}  // namespace tolvenmark
