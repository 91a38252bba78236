#pragma once

#include <QString>

#include "platform/date_time.h"

class QTimeEdit;
class QWidget;

namespace tolvenmark {

struct RegionalSettings;

// A time-of-day picker with up-down arrows and seconds, in the machine's
// 12- or 24-hour time.
QTimeEdit* MakeTimePicker(QWidget* parent, int left, int top, int width);
// The machine's long time format as a picker's display format.
QString TimePickerFormat(const RegionalSettings& settings);
void SetPickerTime(QTimeEdit& picker, const DateTime& time);
DateTime PickerTime(const QTimeEdit& picker);  // on 1899-12-30

}  // namespace tolvenmark
