#include "bin/time_picker.h"

#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

#include "bin/dialog_env.h"
#include "platform/conversion_error.h"
#include "platform/date_time_text.h"

namespace tolvenmark {
namespace {

using testing::DialogEnv;

struct Locale {
    const char* longTime;
    const char* am;
    const char* pm;
};
constexpr Locale k24{"hh:mm:ss", "AM", "PM"}, k12{"h:mm:ss AMPM", "AM", "PM"},
    kDe{"h:mm:ss AMPM", "vorm.", "nachm."}, kKo{"AMPM h:mm:ss", "오전", "오후"};

struct TypedCase {
    Locale locale;
    const char* typed;
    const char* saved;  // "" when the text cannot be read
};

// Key by key, as a keyboard of any language types them.
void Type(QWidget& widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&widget, &press);
    }
}

class TypedTimeTest : public ::testing::TestWithParam<TypedCase> {};

// Select-all, then a whole time typed: the picker takes exactly what it reads.
TEST_P(TypedTimeTest, TakesAWholeTypedTime) {
    const TypedCase& c = GetParam();
    DialogEnv env;
    env.settings.longTimeFormat = c.locale.longTime;
    env.settings.amDesignator = c.locale.am;
    env.settings.pmDesignator = c.locale.pm;
    TimeField picker;
    picker.setTime(QTime(21, 5, 0));
    picker.show();
    picker.setFocus();
    QTest::keyClick(&picker, Qt::Key_A, Qt::ControlModifier);
    Type(picker, QString::fromUtf8(c.typed));
    if (*c.saved == '\0') {
        EXPECT_FALSE(picker.IsReadable());
        EXPECT_FALSE(picker.toolTip().isEmpty()) << "no sign of the unreadable text";
        EXPECT_THROW(PickerTime(picker), ConversionError);
        return;
    }
    EXPECT_TRUE(picker.IsReadable());
    EXPECT_EQ(TimeToStr(PickerTime(picker), env.settings), c.saved);
    QTest::keyClick(&picker, Qt::Key_Return);
    EXPECT_EQ(picker.text().toStdString(), c.saved) << "shown in the machine's format once left";
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
    DialogEnv env;
    env.settings.longTimeFormat = "h:mm:ss AMPM";
    TimeField picker;
    picker.setTime(QTime(9, 30, 0));
    picker.show();
    picker.setFocus();
    QTest::keyClick(&picker, Qt::Key_Home);
    QTest::keyClick(&picker, Qt::Key_Up);
    EXPECT_EQ(picker.time(), QTime(10, 30, 0));
    QTest::keyClicks(&picker, "745");  // hour 7, then on into the minutes
    EXPECT_EQ(picker.time(), QTime(7, 45, 0));
    QTest::keyClick(&picker, Qt::Key_Up);  // the seconds, selected after the minutes
    EXPECT_EQ(picker.time(), QTime(7, 45, 1));
    QTest::keyClick(&picker, Qt::Key_End);
    QTest::keyClick(&picker, Qt::Key_P);
    EXPECT_EQ(picker.time(), QTime(19, 45, 1));
    EXPECT_EQ(picker.text(), "7:45:01 PM");
    EXPECT_TRUE(picker.IsReadable());
}

}  // namespace
}  // namespace tolvenmark
