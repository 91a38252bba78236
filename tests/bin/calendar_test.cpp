#include "bin/calendar_form.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "bin/calendar_date.h"
#include "bin/dialog_env.h"
#include "platform/conversion_error.h"

namespace tolvenmark {
namespace {

using testing::DialogEnv;
using testing::OnNextModal;

struct Ymd {
    int year, month, day;
};

struct AdjustCase {
    Ymd from;
    int month;             // chosen in the list, or 0
    const char* yearText;  // typed in the year field, or nullptr
    Ymd to;
    const char* proves;
};

class CalendarAdjustTest : public ::testing::TestWithParam<AdjustCase> {};

TEST_P(CalendarAdjustTest, KeepsTheDayWithinTheMonth) {
    const AdjustCase& c = GetParam();
    SCOPED_TRACE(c.proves);
    CalendarDate date(c.from.year, c.from.month, c.from.day);
    if (c.month) date.ChooseMonth(c.month);
    if (c.yearText) date.ChangeYear(c.yearText, date.Month());
    EXPECT_EQ(date.Year(), c.to.year);
    EXPECT_EQ(date.Month(), c.to.month);
    EXPECT_EQ(date.Day(), c.to.day);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CalendarAdjustTest,
    ::testing::Values(
        AdjustCase{{2004, 1, 31}, 2, nullptr, {2004, 2, 28}, "Jan 31 to February gives 28 in a leap year too"},
        AdjustCase{{2003, 1, 31}, 2, nullptr, {2003, 2, 28}, "Jan 31 to February in a common year"},
        AdjustCase{{2004, 1, 29}, 2, nullptr, {2004, 2, 29}, "Jan 29 keeps 29 in a leap year"},
        AdjustCase{{2003, 1, 29}, 2, nullptr, {2003, 2, 28}, "Jan 29 to February in a common year"},
        AdjustCase{{2003, 3, 31}, 4, nullptr, {2003, 4, 30}, "Mar 31 to April"},
        AdjustCase{{2003, 3, 31}, 5, nullptr, {2003, 5, 31}, "31-day months keep the day"},
        AdjustCase{{2004, 2, 29}, 0, "2003", {2003, 2, 28}, "Feb 29 to a common year"},
        AdjustCase{{2004, 2, 29}, 0, "1900", {1900, 2, 28}, "centuries not divisible by 400 are common"},
        AdjustCase{{2004, 2, 29}, 0, "2000", {2000, 2, 29}, "2000 is a leap year"},
        AdjustCase{{2004, 2, 29}, 0, "", {2004, 2, 29}, "an empty year is ignored"},
        AdjustCase{{2004, 2, 29}, 0, "abc", {2004, 2, 29}, "a year that is no number is ignored"},
        AdjustCase{{2004, 2, 29}, 0, "-3", {2004, 2, 29}, "a year below 1 is ignored"}));

TEST(CalendarDate, YearAbove9999FailsAndKeepsTheDate) {
    CalendarDate date(2004, 2, 29);
    EXPECT_THROW(date.ChangeYear("10001", 2), ConversionError);
    EXPECT_EQ(date.Year(), 2004);
    EXPECT_EQ(date.Day(), 29);
}

TEST(CalendarDate, GridStartsOnSundayWithBlanksOutsideTheMonth) {
    const CalendarDate april(2003, 4, 15);  // April 1st 2003 was a Tuesday
    EXPECT_EQ(april.CellDay(0, 0), 0);
    EXPECT_EQ(april.CellDay(0, 1), 0);
    EXPECT_EQ(april.CellDay(0, 2), 1);
    EXPECT_EQ(april.CellDay(4, 3), 30);
    EXPECT_EQ(april.CellDay(4, 4), 0);
    EXPECT_EQ(april.CellDay(5, 6), 0);
}

TEST(TForm3, OpensOnTodayWithShortDayNamesAndUnselectableBlanks) {
    DialogEnv env;
    env.settings.shortDayNames = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
    TForm3 form(nullptr);
    EXPECT_EQ(form.ComboBox1->currentText(), "April");
    EXPECT_EQ(form.SpinEdit1->text(), "2003");
    EXPECT_EQ(form.Calendar1->horizontalHeaderItem(0)->text(), "Su");
    EXPECT_EQ(form.Calendar1->item(0, 1)->text(), "");
    EXPECT_FALSE(form.Calendar1->item(0, 1)->flags() & Qt::ItemIsSelectable);
    form.Calendar1Click(0, 1);  // a blank cell changes nothing
    EXPECT_EQ(form.Date().Day(), 15);
}

TEST(TForm3, OkWritesOnlyTheCallersSlotCancelWritesNone) {
    DialogEnv env;
    AppHandovers().calendarCaller = 4;
    {
        TForm3 form(nullptr);
        form.ComboBox1->setCurrentIndex(2);
        form.ComboBox1Change();
        form.Calendar1Click(1, 1);  // March 2003 starts on a Saturday: row 1, Monday is the 3rd
        form.Button1Click();
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
    EXPECT_EQ(AppHandovers().calendarResult[4], "3/3/2003");
    EXPECT_EQ(AppHandovers().calendarResult[5], "");

    AppHandovers().calendarCaller = 5;
    TForm3 cancelled(nullptr);
    cancelled.Button2Click();
    EXPECT_EQ(AppHandovers().calendarResult[5], "");
}

TEST(TForm3, DoubleClickOnADayPicksIt) {
    DialogEnv env;
    AppHandovers().calendarCaller = 2;
    TForm3 form(nullptr);
    form.Calendar1DblClick(3, 0);  // Sunday April 20th 2003
    EXPECT_EQ(AppHandovers().calendarResult[2], "4/20/2003");
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

// Opened from a field, the calendar starts on its date with the keys in the
// day grid: the arrows move the day and Return writes it.
TEST(TForm3, OpensOnTheFieldsDateAndTheArrowsMoveTheDayReturnWrites) {
    DialogEnv env;
    QLineEdit field("12/24/2003");
    OnNextModal<TForm3>([](TForm3& calendar) {
        EXPECT_EQ(calendar.ComboBox1->currentText(), "December");
        EXPECT_EQ(calendar.focusWidget(), calendar.Calendar1);
        QTest::keyClick(calendar.Calendar1, Qt::Key_Right);  // Wednesday 24th to Thursday 25th
        QTest::keyClick(calendar.Calendar1, Qt::Key_Up);     // Thursday 18th
        QTest::keyClick(calendar.Calendar1, Qt::Key_Return);
    });
    PickCalendarDate(nullptr, 3, field);
    EXPECT_EQ(field.text(), "12/18/2003");
}

TEST(TForm3, SixWeekRowsShowWithoutScrolling) {
    DialogEnv env;
    env.clock.Set(DateTime{2027, 1, 31, 9, 0, 0, 0});  // the 31st falls in the sixth week
    const QFont saved = QApplication::font();
    QFont desktop = saved;  // a desktop font larger than the grid was drawn for
    desktop.setPixelSize(15);
    QApplication::setFont(desktop);
    TForm3 form(nullptr);
    form.show();
    QApplication::setFont(saved);
    const QRect lastWeek = form.Calendar1->visualRect(form.Calendar1->model()->index(5, 0));
    EXPECT_TRUE(form.Calendar1->viewport()->rect().contains(lastWeek)) << lastWeek.bottom();
    EXPECT_EQ(form.Calendar1->verticalScrollBar()->maximum(), 0);
}

TEST(PickCalendarDate, CancelledCalendarPutsTheEarlierPickBack) {
    DialogEnv env;
    QLineEdit field;
    OnNextModal<TForm3>([](TForm3& calendar) { calendar.Button2Click(); });
    PickCalendarDate(nullptr, 3, field);
    EXPECT_EQ(field.text(), "") << "nothing ever picked for this caller";

    OnNextModal<TForm3>([](TForm3& calendar) { calendar.Button1Click(); });
    PickCalendarDate(nullptr, 3, field);
    EXPECT_EQ(field.text(), "4/15/2003");

    field.setText("typed over");
    OnNextModal<TForm3>([](TForm3& calendar) { calendar.Button2Click(); });
    PickCalendarDate(nullptr, 3, field);
    EXPECT_EQ(field.text(), "4/15/2003");
}

}  // namespace
}  // namespace tolvenmark
