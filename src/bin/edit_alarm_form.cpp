#include "bin/edit_alarm_form.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "bin/alarm_time.h"
#include "bin/calendar_form.h"
#include "bin/handover.h"
#include "bin/time_picker.h"
#include "platform/clock.h"
#include "platform/date_time_text.h"
#include "platform/dialog_finish.h"
#include "platform/regional_settings.h"
#include "platform/saved_text.h"

namespace tolvenmark {

TForm9::TForm9(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle("Edit Alarm");
    setFixedSize(298, 145);

    (new QLabel("Alarm Header", this))->move(8, 8);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(8, 24, 281, 21);
    (new QLabel("Date", this))->move(8, 56);
    Edit2 = new QLineEdit(this);
    Edit2->setGeometry(8, 72, 97, 21);
    Edit2->setReadOnly(true);
    Button1 = new QPushButton(":::", this);
    // For screen readers, the labels above.
    Edit1->setAccessibleName("Alarm Header");
    Edit2->setAccessibleName("Date");
    Button1->setAccessibleName("Calendar");
    Button1->setGeometry(104, 72, 17, 21);
    (new QLabel("Time", this))->move(160, 56);
    DateTimePicker1 = MakeTimePicker(this, 160, 72, 129);
    DateTimePicker1->setAccessibleName("Time");
    Button2 = new QPushButton("&Save Changes and Close", this);
    Button2->setGeometry(72, 112, 137, 25);
    Button3 = new QPushButton("&Cancel", this);
    Button3->setGeometry(214, 112, 75, 25);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    FinishDialog(*this);

    const AlarmHandover& alarm = AppHandovers().editedAlarm;
    const TextEncoding line = LineEncoding(alarm.header + '^' + alarm.date + '^' + alarm.time);
    ShowSavedText(*Edit1, alarm.header, line);
    ShowSavedText(*Edit2, alarm.date, line);
    SetPickerTime(*DateTimePicker1, OpeningTime(alarm.time, AppRegionalSettings(), AppClock().Now()));
}

void TForm9::Button1Click() { PickCalendarDate(this, 2, *Edit2); }

void TForm9::Button2Click() {
    AlarmHandover& alarm = AppHandovers().editedAlarm;
    // All first: a text that cannot be saved or read changes nothing.
    std::string header = SavedText(*Edit1);
    std::string date = SavedText(*Edit2);
    alarm.time = TimeToStr(PickerTime(*DateTimePicker1), AppRegionalSettings());
    alarm.date = std::move(date);
    alarm.header = std::move(header);
    accept();
}

void TForm9::Button3Click() { reject(); }

}  // namespace tolvenmark
