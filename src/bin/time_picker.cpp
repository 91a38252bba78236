#include "bin/time_picker.h"

#include <QTimeEdit>

#include "platform/regional_settings.h"

namespace tolvenmark {

QTimeEdit* MakeTimePicker(QWidget* parent, int left, int top, int width) {
    auto* picker = new QTimeEdit(parent);
    picker->setGeometry(left, top, width, 21);
    picker->setDisplayFormat(TimePickerFormat(AppRegionalSettings()));
    return picker;
}

QString TimePickerFormat(const RegionalSettings& s) {
    const std::string& f = s.longTimeFormat;
    QString out;
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f.compare(i, 4, "AMPM") == 0) {
            out += "AP";
            i += 3;
        } else if (f[i] == 'h' || f[i] == 'm' || f[i] == 's' || f[i] == ' ') {
            out += QChar(f[i]);
        } else if (f[i] == ':') {
            out += "'" + QString::fromStdString(s.timeSeparator) + "'";
        } else {
            out += "'" + QString(QChar(f[i])) + "'";
        }
    }
    return out;
}

void SetPickerTime(QTimeEdit& picker, const DateTime& time) {
    picker.setTime(QTime(time.hour, time.minute, time.second));
}

DateTime PickerTime(const QTimeEdit& picker) {
    const QTime t = picker.time();
    return {1899, 12, 30, t.hour(), t.minute(), t.second(), 0};
}

}  // namespace tolvenmark
