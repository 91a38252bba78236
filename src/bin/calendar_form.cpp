#include "bin/calendar_form.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

#include "bin/handover.h"
#include "bin/typed_time.h"
#include "platform/clock.h"
#include "platform/date_time_text.h"
#include "platform/dialog_finish.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

namespace {

CalendarDate OpeningDate() {
    const DateTime now = AppClock().Now();
    const std::optional<DateTime> field =
        ReadTypedDate(AppHandovers().calendarOpening, AppRegionalSettings(), now.year);
    if (field) return {field->year, field->month, field->day};
    return {now.year, now.month, now.day};
}

}  // namespace

TForm3::TForm3(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), date_(OpeningDate()) {
    setWindowTitle("Calendar");
    setFixedSize(320, 204);
    const RegionalSettings& settings = AppRegionalSettings();

    ComboBox1 = new QComboBox(this);
    ComboBox1->setGeometry(0, 8, 145, 21);
    for (const char* name : {"January", "February", "March", "April", "May", "June", "July", "August",
                             "September", "October", "November", "December"})
        ComboBox1->addItem(name);

    SpinEdit1 = new QLineEdit(this);
    SpinEdit1->setGeometry(224, 8, 97, 22);

    Calendar1 = new QTableWidget(6, 7, this);
    // For screen readers; the window shows no labels.
    ComboBox1->setAccessibleName("Month");
    SpinEdit1->setAccessibleName("Year");
    Calendar1->setAccessibleName("Day");
    Calendar1->setGeometry(0, 32, 320, 129);
    Calendar1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Calendar1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Calendar1->verticalHeader()->hide();
    Calendar1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Calendar1->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Six weeks share the grid's height; the style's taller minimum row
    // would push the last week under the edge.
    Calendar1->verticalHeader()->setMinimumSectionSize(1);
    Calendar1->setSelectionMode(QAbstractItemView::SingleSelection);
    Calendar1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList titles;
    for (const std::string& name : settings.shortDayNames) titles << QString::fromStdString(name);
    Calendar1->setHorizontalHeaderLabels(titles);

    Button1 = new QPushButton("&OK", this);
    Button1->setGeometry(160, 176, 75, 25);
    Button1->setDefault(true);
    Button2 = new QPushButton("&Cancel", this);
    Button2->setGeometry(240, 176, 75, 25);

    ShowDate();
    // The arrows move the day and Return takes it, before any click.
    setTabOrder(Calendar1, ComboBox1);
    setTabOrder(ComboBox1, SpinEdit1);
    Calendar1->setFocus();

    connect(ComboBox1, &QComboBox::activated, this, [this] { ComboBox1Change(); });
    connect(SpinEdit1, &QLineEdit::textEdited, this, [this] { SpinEdit1Change(); });
    connect(Calendar1, &QTableWidget::cellClicked, this, [this](int r, int c) { Calendar1Click(r, c); });
    // The day the keyboard moves to is the day "&OK" writes.
    connect(Calendar1, &QTableWidget::currentCellChanged, this, [this](int r, int c) {
        if (const int day = date_.CellDay(r, c)) date_.SetDay(day);
    });
    connect(Calendar1, &QTableWidget::cellDoubleClicked, this,
            [this](int r, int c) { Calendar1DblClick(r, c); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    FinishDialog(*this);
}

void TForm3::ShowDate() {
    const QSignalBlocker blockList(ComboBox1);
    ComboBox1->setCurrentIndex(date_.Month() - 1);
    if (SpinEdit1->text().toStdString() != std::to_string(date_.Year()) && !SpinEdit1->hasFocus())
        SpinEdit1->setText(QString::number(date_.Year()));

    const QSignalBlocker blockGrid(Calendar1);
    Calendar1->clearSelection();
    for (int row = 0; row < 6; ++row) {
        for (int column = 0; column < 7; ++column) {
            const int day = date_.CellDay(row, column);
            auto* item = new QTableWidgetItem(day ? QString::number(day) : QString());
            item->setTextAlignment(Qt::AlignCenter);
            // Blank cells outside the month cannot be chosen.
            item->setFlags(day ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags);
            Calendar1->setItem(row, column, item);
            if (day == date_.Day()) {
                Calendar1->setCurrentCell(row, column);
                item->setSelected(true);
            }
        }
    }
}

void TForm3::ComboBox1Change() {
    date_.ChooseMonth(ComboBox1->currentIndex() + 1);
    ShowDate();
}

void TForm3::SpinEdit1Change() {
    try {
        date_.ChangeYear(SpinEdit1->text().toStdString(), ComboBox1->currentIndex() + 1);
    } catch (...) {
        ShowDate();
        throw;
    }
    ShowDate();
}

void TForm3::Calendar1Click(int row, int column) {
    if (const int day = date_.CellDay(row, column)) date_.SetDay(day);
    ShowDate();
}

void TForm3::Calendar1DblClick(int row, int column) {
    if (date_.CellDay(row, column) == 0) return;
    Calendar1Click(row, column);
    Button1Click();
}

void TForm3::Button1Click() {
    Handovers& handovers = AppHandovers();
    const int caller = handovers.calendarCaller;
    if (caller >= 1 && caller < static_cast<int>(handovers.calendarResult.size())) {
        const DateTime picked{date_.Year(), date_.Month(), date_.Day(), 0, 0, 0, 0};
        handovers.calendarResult[caller] = DateToStr(picked, AppRegionalSettings());
    }
    accept();
}

void TForm3::Button2Click() { reject(); }

void PickCalendarDate(QWidget* parent, int caller, QLineEdit& field) {
    AppHandovers().calendarCaller = caller;
    AppHandovers().calendarOpening = field.text().toStdString();
    auto* calendar = new TForm3(parent);  // owned by the opener, as every dialog is
    calendar->exec();
    const std::string& slot = AppHandovers().calendarResult[caller];
    if (!slot.empty()) field.setText(QString::fromStdString(slot));
}

}  // namespace tolvenmark
