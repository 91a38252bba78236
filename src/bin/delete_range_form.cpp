#include "bin/delete_range_form.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "bin/calendar_form.h"
#include "bin/delete_range.h"
#include "platform/clock.h"
#include "platform/dialog_finish.h"
#include "platform/prompts.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

TForm11::TForm11(QWidget* parent, SavedAlarmList& rows)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      rows_(rows) {
    setWindowTitle("Delete Range of Alarms");
    setFixedSize(241, 169);

    (new QLabel("Start Date", this))->move(8, 8);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(8, 24, 89, 21);
    Edit1->setReadOnly(true);
    Button1 = new QPushButton(":::", this);
    Button1->setGeometry(96, 24, 17, 21);
    (new QLabel("Ending Date", this))->move(128, 8);
    Edit2 = new QLineEdit(this);
    Edit2->setGeometry(128, 24, 89, 21);
    Edit2->setReadOnly(true);
    Button2 = new QPushButton(":::", this);
    // For screen readers, the labels above.
    Edit1->setAccessibleName("Start Date");
    Edit2->setAccessibleName("Ending Date");
    Button1->setAccessibleName("Start Date Calendar");
    Button2->setAccessibleName("Ending Date Calendar");
    Button2->setGeometry(216, 24, 17, 21);
    Button5 = new QPushButton("&Clear Dates", this);
    Button5->setGeometry(8, 64, 225, 25);
    Button3 = new QPushButton("Delete Alarms in Date &Range", this);
    Button3->setGeometry(8, 96, 225, 25);
    Button4 = new QPushButton("&Done", this);
    Button4->setGeometry(158, 136, 75, 25);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    FinishDialog(*this);
}

void TForm11::Button1Click() { PickCalendarDate(this, 4, *Edit1); }

void TForm11::Button2Click() { PickCalendarDate(this, 5, *Edit2); }

void TForm11::Button5Click() {
    Edit1->clear();
    Edit2->clear();
}

void TForm11::Button3Click() {
    const std::string start = Edit1->text().toStdString();
    const std::string end = Edit2->text().toStdString();
    const RegionalSettings& settings = AppRegionalSettings();
    const int year = AppClock().Now().year;
    if (EndBeforeStart(start, end, settings, year)) {
        AppPrompts().Error(kEndBeforeStartMessage);
        Edit2->clear();
        return;
    }
    if (!AppPrompts().Confirm(RangeQuestion(start, end))) return;
    const int count = DeleteAlarmRange(rows_, start, end, settings, year);
    AppPrompts().PlainBox(RangeReport(count, start, end));
}

void TForm11::Button4Click() { accept(); }

}  // namespace tolvenmark
