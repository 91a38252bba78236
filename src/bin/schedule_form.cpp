#include "bin/schedule_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "bin/alarm_time.h"
#include "bin/calendar_form.h"
#include "bin/saved_alarms_changed.h"
#include "bin/time_picker.h"
#include "platform/clock.h"
#include "platform/date_order.h"
#include "platform/date_time_text.h"
#include "platform/dialog_finish.h"
#include "platform/regional_settings.h"
#include "platform/saved_text.h"

namespace tolvenmark {

namespace {

QLabel* MakeLabel(const char* text, QWidget* parent, int left, int top, int width = -1) {
    auto* label = new QLabel(text, parent);
    label->move(left, top);
    if (width > 0) label->resize(width, label->sizeHint().height());
    else label->adjustSize();
    return label;
}

QSpinBox* MakeSpin(QWidget* parent, int left, int top, int width, int maximum) {
    auto* spin = new QSpinBox(parent);
    spin->setGeometry(left, top, width, 22);
    spin->setRange(1, maximum);
    spin->setValue(1);
    return spin;
}

}  // namespace

TForm10::TForm10(QWidget* parent, std::string appPath, ConfigKeys config, const std::string& header,
                 const std::string& date, const std::string& time)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      appPath_(std::move(appPath)),
      config_(std::move(config)) {
    setWindowTitle("Schedule Alarms");
    setFixedSize(473, 273);

    MakeLabel("Alarm Header", this, 8, 8);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(8, 24, 225, 21);
    MakeLabel("Start Date", this, 8, 56);
    Edit2 = new QLineEdit(this);
    Edit2->setGeometry(8, 72, 89, 21);
    Button1 = new QPushButton(":::", this);
    Button1->setGeometry(96, 72, 17, 21);
    MakeLabel("Time", this, 128, 56);
    DateTimePicker1 = MakeTimePicker(this, 128, 72, 105);

    auto* radioGroup = new QGroupBox("Select Interval", this);
    radioGroup->setGeometry(8, 104, 225, 110);
    const char* items[] = {"&Daily", "&Weekly", "&Monthly by Day"};
    for (int i = 0; i < 3; ++i) {
        RadioGroup1[i] = new QRadioButton(items[i], radioGroup);
        RadioGroup1[i]->setGeometry(8, 20 + 28 * i, 200, 20);
        connect(RadioGroup1[i], &QRadioButton::toggled, this, [this](bool on) {
            if (on) RadioGroup1Click();
        });
    }

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setGeometry(240, 18, 225, 196);
    Label4 = MakeLabel("How Many Days? (365 Maximum)", GroupBox1, 32, 72, 158);
    SpinEdit1 = MakeSpin(GroupBox1, 74, 88, 73, 365);
    const char* days[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    for (int i = 0; i < 7; ++i) {
        CheckBox[i] = new QCheckBox(days[i], GroupBox1);
        CheckBox[i]->setGeometry(16, 24 + 24 * i, 97, 17);
    }
    Label7 = MakeLabel("How many weeks?", GroupBox1, 120, 24);
    Label8 = MakeLabel("(52 Maximum)", GroupBox1, 131, 40);
    SpinEdit4 = MakeSpin(GroupBox1, 128, 56, 73, 52);
    Button4 = new QPushButton("Select &All", GroupBox1);
    Button4->setGeometry(128, 104, 73, 25);
    Button5 = new QPushButton("&Unselect All", GroupBox1);
    Button5->setGeometry(128, 136, 73, 25);
    Label5 = MakeLabel("Which day of the month?", GroupBox1, 52, 48);
    SpinEdit2 = MakeSpin(GroupBox1, 74, 64, 73, 31);
    Label6 = MakeLabel("How many months? (24 Maximum)", GroupBox1, 32, 96);
    SpinEdit3 = MakeSpin(GroupBox1, 74, 112, 73, 24);

    // For screen readers, the labels above.
    Edit1->setAccessibleName("Alarm Header");
    Edit2->setAccessibleName("Start Date");
    Button1->setAccessibleName("Calendar");
    DateTimePicker1->setAccessibleName("Time");
    Label4->setBuddy(SpinEdit1);
    Label7->setBuddy(SpinEdit4);
    Label5->setBuddy(SpinEdit2);
    Label6->setBuddy(SpinEdit3);

    Button2 = new QPushButton("&Set Schedule and Close", this);
    Button2->setGeometry(240, 240, 145, 25);
    Button3 = new QPushButton("&Cancel", this);
    Button3->setGeometry(392, 240, 75, 25);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    FinishDialog(*this);

    ShowSavedText(*Edit1, header);
    connect(Edit2, &QLineEdit::textChanged, this, [this](const QString& text) {
        const bool reads = ReadTypedDate(text.toStdString(), AppRegionalSettings(), AppClock().Now().year).has_value();
        MarkUnreadable(*Edit2, reads ? QString() : "'" + text + "' is not a valid date");
    });
    ShowSavedText(*Edit2, date);
    const RegionalSettings& settings = AppRegionalSettings();
    SetPickerTime(*DateTimePicker1, OpeningTime(time, settings, AppClock().Now()));
    RadioGroup1[0]->setChecked(true);
    RadioGroup1Click();
}

int TForm10::Interval() const {
    for (int i = 0; i < 3; ++i)
        if (RadioGroup1[i]->isChecked()) return i;
    return 0;
}

void TForm10::MakeWeekDaysAppear() {
    GroupBox1->setTitle("Select Weekday(s)");
    for (QWidget* w : {static_cast<QWidget*>(Label7), static_cast<QWidget*>(Label8),
                       static_cast<QWidget*>(SpinEdit4), static_cast<QWidget*>(Button4),
                       static_cast<QWidget*>(Button5)})
        w->setVisible(true);
    for (QCheckBox* box : CheckBox) box->setVisible(true);
}

void TForm10::MakeWeekDaysDisappear() {
    for (QWidget* w : {static_cast<QWidget*>(Label7), static_cast<QWidget*>(Label8),
                       static_cast<QWidget*>(SpinEdit4), static_cast<QWidget*>(Button4),
                       static_cast<QWidget*>(Button5)})
        w->setVisible(false);
    for (QCheckBox* box : CheckBox) box->setVisible(false);
}

void TForm10::RadioGroup1Click() {
    const int interval = Interval();
    const bool daily = interval == 0, monthly = interval == 2;
    Label4->setVisible(daily);
    SpinEdit1->setVisible(daily);
    for (QWidget* w : {static_cast<QWidget*>(Label5), static_cast<QWidget*>(Label6),
                       static_cast<QWidget*>(SpinEdit2), static_cast<QWidget*>(SpinEdit3)})
        w->setVisible(monthly);
    if (interval == 1) {
        MakeWeekDaysAppear();
        return;
    }
    MakeWeekDaysDisappear();
    GroupBox1->setTitle(daily ? "Select Days" : "Select Day and Number of Months");
}

void TForm10::Button1Click() { PickCalendarDate(this, 3, *Edit2); }

void TForm10::Button4Click() {
    for (QCheckBox* box : CheckBox) box->setChecked(true);
}

void TForm10::Button5Click() {
    for (QCheckBox* box : CheckBox) box->setChecked(false);
}

ScheduleRequest TForm10::Request() const {
    ScheduleRequest request;
    request.interval = static_cast<ScheduleInterval>(Interval());
    request.header = SavedText(*Edit1);
    request.startDate = SavedText(*Edit2);
    request.time = TimeToStr(PickerTime(*DateTimePicker1), AppRegionalSettings());
    request.days = SpinEdit1->value();
    for (int i = 0; i < 7; ++i) request.weekdays[i] = CheckBox[i]->isChecked();
    request.weeks = SpinEdit4->value();
    request.dayOfMonth = SpinEdit2->value();
    request.months = SpinEdit3->value();
    return request;
}

void TForm10::Button2Click() {
    // A typed date or time that does not read keeps the dialog open to be put right.
    const ScheduleRequest request = Request();
    const RegionalSettings& settings = AppRegionalSettings();
    StrToDate(request.startDate, settings, AppClock().Now().year);
    // Past that, the dialog closes whatever the generator ends with; its error still shows.
    struct CloseAfter {
        QDialog* dialog;
        ~CloseAfter() { dialog->accept(); }
    } closeAfter{this};
    SetSchedule(request, AlarmsPath(appPath_), AppClock().Now(), settings);
    SavedAlarmsChanged();
    if (config_.write)
        config_.write("ALFORMAT", std::to_string(CheckDateFormat(settings.shortDateFormat)));
}

void TForm10::Button3Click() { reject(); }

}  // namespace tolvenmark
