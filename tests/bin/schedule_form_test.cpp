#include "bin/schedule_form.h"

#include <fstream>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <gtest/gtest.h>

#include "bin/calendar_form.h"
#include "bin/dialog_env.h"
#include "bin/edit_alarm_form.h"
#include "platform/conversion_error.h"
#include "platform/profile_file.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::DialogEnv;
using testing::OnNextModal;
using testing::ReadFileBytes;
using testing::TempDir;

struct ScheduleDialog {
    DialogEnv env;
    TempDir dir;
    std::string ini = dir.File("TOLVENMARKCLOCK.INI");

    ConfigKeys Config() const {
        const std::string path = ini;
        return {[path](const std::string& key) { return GetPrivateProfileString("ALARM", key, "", 255, path); },
                [path](const std::string& key, const std::string& value) {
                    WritePrivateProfileString("ALARM", key, value, path);
                }};
    }
    std::string Key(const std::string& key) const { return GetPrivateProfileString("ALARM", key, "", 255, ini); }
};

TEST(TForm10, OpensDailyWithTheHandedOverAlarm) {
    ScheduleDialog d;
    TForm10 form(nullptr, d.dir.path(), d.Config(), "Work", "4/20/2003", "6:45:00 PM");
    EXPECT_EQ(form.Edit1->text(), "Work");
    EXPECT_EQ(form.Edit2->text(), "4/20/2003");
    EXPECT_EQ(form.DateTimePicker1->time(), QTime(18, 45, 0));
    EXPECT_TRUE(form.RadioGroup1[0]->isChecked());
    EXPECT_EQ(form.GroupBox1->title(), "Select Days");
    EXPECT_FALSE(form.SpinEdit1->isHidden());
    EXPECT_TRUE(form.CheckBox[0]->isHidden());
    EXPECT_EQ(form.SpinEdit1->maximum(), 365);
    EXPECT_EQ(form.SpinEdit4->maximum(), 52);
    EXPECT_EQ(form.SpinEdit3->maximum(), 24);
}

TEST(TForm10, EmptyHandedOverTimeShowsTheCurrentTime) {
    ScheduleDialog d;
    TForm10 form(nullptr, d.dir.path(), d.Config(), "", "", "");
    EXPECT_EQ(form.DateTimePicker1->time(), QTime(9, 0, 0));
}

struct PickerCase {
    const char* name;
    const char* longTimeFormat;
    const char* shown;
};

void PrintTo(const PickerCase& c, std::ostream* os) { *os << c.name; }

class TimePickerTest : public ::testing::TestWithParam<PickerCase> {};

// Both time pickers that write a saved alarm read as the machine's clock does.
TEST_P(TimePickerTest, FollowsTheMachinesHourCycle) {
    ScheduleDialog d;
    d.env.settings.longTimeFormat = GetParam().longTimeFormat;
    AppHandovers().editedAlarm = {"Work", "4/20/2003", "6:45:00 PM"};
    TForm10 schedule(nullptr, d.dir.path(), d.Config(), "Work", "4/20/2003", "6:45:00 PM");
    TForm9 edit(nullptr);
    EXPECT_EQ(schedule.DateTimePicker1->text(), GetParam().shown);
    EXPECT_EQ(edit.DateTimePicker1->text(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(HourCycles, TimePickerTest,
                         ::testing::Values(PickerCase{"TwentyFourHour", "h:mm:ss", "18:45:00"},
                                           PickerCase{"TwelveHour", "h:mm:ss AMPM", "6:45:00 PM"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TForm10, IntervalSwitchShowsEachIntervalsControls) {
    ScheduleDialog d;
    TForm10 form(nullptr, d.dir.path(), d.Config(), "", "", "");
    form.RadioGroup1[1]->setChecked(true);
    EXPECT_EQ(form.GroupBox1->title(), "Select Weekday(s)");
    EXPECT_FALSE(form.CheckBox[6]->isHidden());
    EXPECT_TRUE(form.SpinEdit1->isHidden());
    form.Button4Click();
    for (QCheckBox* box : form.CheckBox) EXPECT_TRUE(box->isChecked());
    form.Button5Click();
    for (QCheckBox* box : form.CheckBox) EXPECT_FALSE(box->isChecked());
    form.RadioGroup1[2]->setChecked(true);
    EXPECT_EQ(form.GroupBox1->title(), "Select Day and Number of Months");
    EXPECT_TRUE(form.CheckBox[6]->isHidden());
    EXPECT_FALSE(form.SpinEdit2->isHidden());
    EXPECT_FALSE(form.Label6->isHidden());
}

TEST(TForm10, SetScheduleWritesLinesInTheLongTimeFormAndTheDateOrder) {
    ScheduleDialog d;
    TForm10 form(nullptr, d.dir.path(), d.Config(), "Gym", "4/20/2003", "6:45:00 PM");
    form.SpinEdit1->setValue(2);
    form.Button2Click();
    EXPECT_EQ(ReadFileBytes(d.dir.File("Alarms.txt")), "Gym^4/20/2003^6:45:00 PM^\r\nGym^4/21/2003^6:45:00 PM^\r\n");
    EXPECT_EQ(d.Key("ALFORMAT"), "123");
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

// A typed start date that does not read is marked and keeps the dialog open to be put right.
TEST(TForm10, UnreadableStartDateIsMarkedAndWritesNothing) {
    ScheduleDialog d;
    TForm10 form(nullptr, d.dir.path(), d.Config(), "Gym", "20.4.2003", "6:45:00 PM");
    EXPECT_FALSE(form.Edit2->toolTip().isEmpty());
    EXPECT_THROW(form.Button2Click(), ConversionError);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(d.Key("ALFORMAT"), "");
    EXPECT_FALSE(std::ifstream(d.dir.File("Alarms.txt")).good());
}

TEST(TForm10, CalendarButtonFillsTheStartDate) {
    ScheduleDialog d;
    TForm10 form(nullptr, d.dir.path(), d.Config(), "", "", "");
    OnNextModal<TForm3>([](TForm3& calendar) {
        calendar.Calendar1Click(4, 3);  // April 30th 2003
        calendar.Button1Click();
    });
    form.Button1Click();
    EXPECT_EQ(form.Edit2->text(), "4/30/2003");
    EXPECT_EQ(AppHandovers().calendarResult[3], "4/30/2003");
}

}  // namespace
}  // namespace tolvenmark
