#include "bin/time_picker.h"

#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

#include "bin/dialog_env.h"
#include "platform/conversion_error.h"
#include "platform/date_time_text.h"

namespace tolvenmark {
namespace {

struct Locale { const char *longTime, *am, *pm; };
constexpr Locale k24{"hh:mm:ss", "AM", "PM"}, k12{"h:mm:ss AMPM", "AM", "PM"},
    kDe{"h:mm:ss AMPM", "vorm.", "nachm."}, kKo{"AMPM h:mm:ss", "오전", "오후"};
struct TypedCase { Locale locale; const char *typed, *saved; };  // saved "": cannot be read

class TypedTimeTest : public ::testing::TestWithParam<TypedCase> {};

// Select-all, then a whole time typed key by key: the picker takes exactly what it reads.
TEST_P(TypedTimeTest, TakesAWholeTypedTime) {
    const TypedCase& c = GetParam();
    testing::DialogEnv env;
    env.settings.longTimeFormat = c.locale.longTime;
    env.settings.amDesignator = c.locale.am;
    env.settings.pmDesignator = c.locale.pm;
    TimeField picker;
    picker.setTime(QTime(21, 5, 0));
    QTest::keyClick(&picker, Qt::Key_A, Qt::ControlModifier);
    for (const QChar key : QString::fromUtf8(c.typed)) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(key));
        QApplication::sendEvent(&picker, &press);
    }
    if (*c.saved == '\0') {
        EXPECT_FALSE(picker.toolTip().isEmpty()) << "no sign of the unreadable text";
        EXPECT_THROW(PickerTime(picker), ConversionError);
        return;
    }
    EXPECT_EQ(TimeToStr(PickerTime(picker), env.settings), c.saved);
    QTest::keyClick(&picker, Qt::Key_Return);
    EXPECT_EQ(picker.text().toStdString(), c.saved) << "shown in the machine's format once entered";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TypedTimeTest,
    ::testing::Values(TypedCase{k24, "23:10:00", "23:10:00"}, TypedCase{k24, "7:30", "07:30:00"},
                      TypedCase{k24, "7:30:00 pm", "19:30:00"}, TypedCase{k12, "7:30:00 AM", "7:30:00 AM"},
                      TypedCase{k12, "23:10:00", "11:10:00 PM"}, TypedCase{k12, "12:00 am", "12:00:00 AM"},
                      TypedCase{k12, "6pm", "6:00:00 PM"}, TypedCase{kDe, "7:30:00 nachm.", "7:30:00 nachm."},
                      TypedCase{kKo, "오후 7:30:00", "오후 7:30:00"}, TypedCase{k24, "24:00:00", ""},
                      TypedCase{k24, "7:61", ""}, TypedCase{k12, "13:00 PM", ""},
                      TypedCase{k12, "7:30:00 XM", ""}, TypedCase{k12, "half past", ""},
                      TypedCase{k24, " ", ""}));

// The arrows step the section the cursor is in; digits overwrite a section
// and move on when it is full; a letter sets the designator.
TEST(TimeField, ArrowsAndSectionTypingStillWork) {
    testing::DialogEnv env;
    env.settings.longTimeFormat = "h:mm:ss AMPM";
    TimeField picker;
    picker.setTime(QTime(9, 30, 0));
    QTest::keyClick(&picker, Qt::Key_Up);
    EXPECT_EQ(picker.time(), QTime(10, 30, 0));
    QTest::keyClicks(&picker, "745");  // hour 7, then on into the minutes
    EXPECT_EQ(picker.time(), QTime(7, 45, 0));
    QTest::keyClick(&picker, Qt::Key_Up);  // the seconds, selected after the minutes
    QTest::keyClick(&picker, Qt::Key_End);
    QTest::keyClick(&picker, Qt::Key_P);
    EXPECT_EQ(picker.text(), "7:45:01 PM");
}

}  // namespace
}  // namespace tolvenmark
