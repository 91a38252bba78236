#include "setup/alarm_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include "bin/saved_alarms_changed.h"
#include "platform/clock.h"
#include "platform/regional_settings.h"
#include "setup/setup_fixture.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::SetupFixture;

// The main window as the dialog sees it; records what the dialog does to it.
class FakeHost final : public AlarmSettingsHost {
public:
    std::string ClockMode() const override { return clockMode; }
    std::string AppPath() const override { return appPath; }
    std::string PendingDate() const override { return pendingDate; }
    std::string PendingTime() const override { return pendingTime; }
    std::string TakePendingAlarm(const std::string& header, const std::string& date,
                                 const std::string& time) override {
        calls.push_back("pending " + header + " | " + date + " | " + time);
        return failure;
    }
    void ShowPendingAlarm() override { calls.push_back("show"); }

    std::string clockMode = "24";
    std::string appPath;
    std::string pendingDate = "12/24/2026";
    std::string pendingTime = "6:45:00 AM";
    std::string failure;
    std::vector<std::string> calls;
};

// A window test's world: configuration, programs, regional settings in the
// alarm-time shape and a clock stopped at 12/7/2026 9:15:30 AM.
class AlarmSettingsTest : public ::testing::Test {
protected:
    AlarmSettingsTest() : clock_(DateTime{2026, 12, 7, 9, 15, 30, 0}) {
        settings_.shortTimeFormat = "h:mm:ss AMPM";
        SetAppRegionalSettings(&settings_);
        SetAppClock(&clock_);
        AppHandovers() = Handovers{};
        host.appPath = f.dir.path();
    }
    ~AlarmSettingsTest() override {
        SetAppRegionalSettings(nullptr);
        SetAppClock(nullptr);
    }

    std::unique_ptr<TForm2> Open(AlarmSettingsHooks hooks = {}) {
        return std::make_unique<TForm2>(host, f.config, std::move(hooks));
    }
    // The programs of these players exist.
    void Install(std::initializer_list<const char*> codes) {
        for (const char* code : codes) f.Set(code, f.MakeProgram(std::string(code) + ".bin"));
    }

    SetupFixture f;
    FakeHost host;

private:
    RegionalSettings settings_;
    FixedClock clock_;
};

std::string Text(const QLabel* l) { return l->text().toStdString(); }
std::string Text(const QLineEdit* e) { return e->text().toStdString(); }

std::string Ticked(const TForm2& form) { return form.TickedPlayer(); }

// ---- Opening -------------------------------------------------------------

struct OpeningCase {
    const char* proves;
    std::vector<std::pair<const char*, const char*>> keys;
    std::vector<const char*> installed;
    const char* ticked;
    const char* mediaType;
    const char* caption;
    bool browse;
    const char* startString;
    std::vector<std::string> shown;
};

void PrintTo(const OpeningCase& c, std::ostream* os) { *os << c.proves; }

class OpeningTest : public AlarmSettingsTest, public ::testing::WithParamInterface<OpeningCase> {};

TEST_P(OpeningTest, ShowsTheStoredAlarm) {
    const OpeningCase& c = GetParam();
    for (const char* code : c.installed) Install({code});
    for (const auto& [key, value] : c.keys) f.Set(key, value);
    auto form = Open();
    EXPECT_EQ(Ticked(*form), c.ticked);
    EXPECT_EQ(form->SelectedMediaType(), c.mediaType);
    EXPECT_EQ(Text(form->Label1), c.caption);
    EXPECT_EQ(form->Button3->isEnabled(), c.browse);
    EXPECT_EQ(form->StartString(), c.startString);
    EXPECT_EQ(f.prompts.shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    StoredSettings, OpeningTest,
    ::testing::Values(
        OpeningCase{"removed player warns and ticks nothing",
                    {{"PLAYER", "WINAMP"}, {"WINAMP", "/gone/winamp"}, {"MTYPE", "MP3"}, {"ALFILE", "/m/a.mp3"}},
                    {"WMP"}, "", "MP3", "File to Open", true, "/m/a.mp3",
                    {"Warning: The file specified for Winamp does not exist."}},
        OpeningCase{"stored start string replaces the built one",
                    {{"PLAYER", "WMP"}, {"MTYPE", "CD Audio"}, {"ALFILE", "wmpcd://3/1"}},
                    {"WMP"}, "WMP", "CD Audio", "Command Line String for Windows Media Player", false,
                    "wmpcd://3/1", {}},
        OpeningCase{"unknown media type selects nothing",
                    {{"PLAYER", "WMP"}, {"MTYPE", "mp3"}, {"ALFILE", "x"}},
                    {"WMP"}, "WMP", "", "File to Open", true, "x", {}},
        OpeningCase{"empty media type selects nothing", {}, {}, "", "", "File to Open", true, "", {}},
        OpeningCase{"message kinds need no player",
                    {{"PLAYER", ""}, {"MTYPE", "Text Message"}, {"ALFILE", "Get up!"}},
                    {"WMP"}, "", "Text Message", "Message To Display", false, "Get up!", {}},
        OpeningCase{"an empty slot stays ticked: the first player found plays",
                    {{"PLAYER", "WINAMP"}, {"MTYPE", "MP3"}}, {"WMP"}, "WINAMP", "MP3", "File to Open", true, "", {}},
        OpeningCase{"player code compared exactly", {{"PLAYER", "wmp"}, {"MTYPE", "DVD"}}, {"WMP"}, "", "DVD",
                    "Command Line String for DVD", false, "", {}}));

TEST_F(AlarmSettingsTest, OpeningFillsHeaderDateTimeAndSwitches) {
    f.Set("ALHEADER", "Dentist");
    f.Set("ALDATE", "12/24/2026");
    f.Set("ALTIME", "06:45:00 PM");
    f.Set("CHANGEALARM", "Yes");
    f.Set("DELETEALARM", "yes");
    host.clockMode = "12";
    auto form = Open();
    EXPECT_EQ(Text(form->Edit3), "Dentist");
    EXPECT_EQ(Text(form->Edit2), "12/24/2026");
    EXPECT_EQ(AppHandovers().calendarResult[1], "12/24/2026");
    EXPECT_EQ(Text(form->Label4), "Time (12-HR Format)");
    EXPECT_EQ(form->PickerTime(), "6:45:00 PM");
    EXPECT_TRUE(form->CheckBox7->isChecked());
    EXPECT_FALSE(form->CheckBox8->isChecked());
}

struct DateCase {
    const char* aldate;
    const char* altime;
    const char* shownDate;
    const char* pickerTime;
};

void PrintTo(const DateCase& c, std::ostream* os) { *os << "'" << c.aldate << "' '" << c.altime << "'"; }

class OpeningDateTest : public AlarmSettingsTest, public ::testing::WithParamInterface<DateCase> {};

TEST_P(OpeningDateTest, StoredDateWheneverSetTodayOtherwise) {
    f.Set("ALDATE", GetParam().aldate);
    f.Set("ALTIME", GetParam().altime);
    auto form = Open();
    EXPECT_EQ(Text(form->Edit2), GetParam().shownDate);
    EXPECT_EQ(AppHandovers().calendarResult[1], GetParam().shownDate);
    EXPECT_EQ(form->PickerTime(), GetParam().pickerTime);
    EXPECT_EQ(Text(form->Label4), "Time (24-HR Format)");
}

INSTANTIATE_TEST_SUITE_P(Mixes, OpeningDateTest,
                         ::testing::Values(DateCase{"1/2/2027", "7:00:00 AM", "1/2/2027", "7:00:00 AM"},
                                           DateCase{"", "", "12/7/2026", "9:15:30 AM"},
                                           DateCase{"1/2/2027", "", "1/2/2027", "9:15:30 AM"},
                                           DateCase{"", "7:00:00 AM", "12/7/2026", "7:00:00 AM"}));

struct SnoozeCase {
    const char* snooze;
    const char* minutes;
    bool on;
    int shown;
};

void PrintTo(const SnoozeCase& c, std::ostream* os) { *os << "'" << c.snooze << "' '" << c.minutes << "'"; }

class OpeningSnoozeTest : public AlarmSettingsTest, public ::testing::WithParamInterface<SnoozeCase> {};

TEST_P(OpeningSnoozeTest, MinutesFallBackToFive) {
    f.Set("SNOOZE", GetParam().snooze);
    f.Set("SNOOZEMIN", GetParam().minutes);
    auto form = Open();
    EXPECT_EQ(form->CheckBox4->isChecked(), GetParam().on);
    EXPECT_EQ(form->SpinEdit1->isEnabled(), GetParam().on);
    EXPECT_EQ(form->Label2->isEnabled(), GetParam().on);
    EXPECT_EQ(form->SpinEdit1->value(), GetParam().shown);
    EXPECT_TRUE(f.prompts.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Values, OpeningSnoozeTest,
                         ::testing::Values(SnoozeCase{"Yes", "", true, 5}, SnoozeCase{"No", "abc", false, 5},
                                           SnoozeCase{"YES", "0", false, 0}, SnoozeCase{"Yes", "9", true, 9}));

TEST_F(AlarmSettingsTest, UnreadableStoredTimeIsReportedAndTheDialogStillOpens) {
    f.Set("ALTIME", "noon");
    f.Set("CHANGEALARM", "Yes");
    auto form = Open();
    EXPECT_EQ(f.prompts.shown, std::vector<std::string>{"Error: 'noon' is not a valid time"});
    EXPECT_FALSE(form->CheckBox7->isChecked());  // the steps after the time did not run
    form->Button1Click();
    EXPECT_EQ(f.Get("CHANGEALARM"), "No");
}

// ---- Player boxes and the media type rule ---------------------------------

TEST_F(AlarmSettingsTest, TickingAPlayerUnticksTheOthersAndRebuildsTheStartString) {
    Install({"WMP", "WINAMP"});
    f.Set("CDDRIVE", "E");
    f.Set("PLAYER", "WMP");
    f.Set("MTYPE", "CD Audio");
    AppMediaMemory().cdDriveIndex = 1;
    auto form = Open();
    form->CheckBox2->setChecked(true);
    EXPECT_FALSE(form->CheckBox1->isChecked());
    EXPECT_EQ(form->StartString(), "cda://E,1");
    EXPECT_EQ(form->Player(), "WINAMP");
    form->CheckBox1->setChecked(true);
    EXPECT_EQ(form->StartString(), "wmpcd://1/1");
    EXPECT_EQ(Ticked(*form), "WMP");

    // Switching to MP3 keeps the disc address; only caption and Browse change.
    form->ComboBox1->setCurrentIndex(0);
    form->ComboBox1Change();
    EXPECT_EQ(form->StartString(), "wmpcd://1/1");
    EXPECT_EQ(Text(form->Label1), "File to Open");
    EXPECT_TRUE(form->Button3->isEnabled());

    // Unticking leaves the in-memory player alone.
    form->CheckBox1->setChecked(false);
    EXPECT_EQ(form->Player(), "WMP");
}

TEST_F(AlarmSettingsTest, MissingProgramCannotBeTicked) {
    f.Set("QUICKTIME", f.dir.path());  // a folder, not a program
    auto form = Open();
    form->CheckBox5->setChecked(true);
    EXPECT_FALSE(form->CheckBox5->isChecked());
    EXPECT_EQ(f.prompts.shown, std::vector<std::string>{"Warning: The file specified for QuickTime does not exist."});
    EXPECT_EQ(form->Player(), "");
}

TEST_F(AlarmSettingsTest, EmptyDrivesBuildAddressesForDriveD) {
    Install({"WMP", "WINAMP"});
    f.Set("MTYPE", "VCD");
    auto form = Open();
    form->CheckBox1->setChecked(true);
    EXPECT_EQ(form->StartString(), "D:\\Mpegav\\Avseq01.dat");
    form->ComboBox1->setCurrentIndex(2);
    form->ComboBox1Change();
    EXPECT_EQ(form->StartString(), "wmpdvd://D");
    // Winamp cannot play a DVD: the field is emptied.
    form->CheckBox2->setChecked(true);
    EXPECT_EQ(form->StartString(), "");
    EXPECT_EQ(Text(form->Label1), "Command Line String for DVD");
}

TEST_F(AlarmSettingsTest, BrowseFilterFollowsTheFileTypes) {
    f.Set("MTYPE", "MP3");
    auto form = Open();
    std::vector<std::string> filters, folders;
    form->OpenDialog1.chooser = [&](const OpenFileDialog& d) -> std::optional<std::string> {
        filters.push_back(d.filter);
        folders.push_back(d.folder);
        return f.dir.File("wake.mp3");
    };
    form->Button3Click();
    EXPECT_EQ(form->StartString(), f.dir.File("wake.mp3"));
    form->ComboBox1->setCurrentIndex(4);  // internet radio keeps the last filter
    form->Button3Click();
    EXPECT_EQ(folders[1], f.dir.path()) << "the next Browse opens where the file is";
    form->ComboBox1->setCurrentIndex(5);
    form->Button3Click();
    const std::string audio = "Audio Files|*.mp3 *.ogg *.opus *.oga *.flac *.wav *.m4a|All Files|*.*";
    EXPECT_EQ(filters, (std::vector<std::string>{audio, audio, "All Files|*.*"}));
}

// ---- OK and Cancel ----------------------------------------------------------

TEST_F(AlarmSettingsTest, OkWritesTheKeysInOrderAndUpdatesTheMainWindow) {
    f.Set("APPPATH", "/data");
    auto form = Open();
    form->ComboBox1->setCurrentIndex(6);
    form->Edit1->setText("Get up!");
    form->CheckBox4->setChecked(true);
    form->SpinEdit1->setValue(7);
    form->CheckBox8->setChecked(true);
    form->Edit3->setText("Morning");
    form->DateTimePicker1->setTime(QTime(7, 5, 0));
    host.failure = "The file : /x cannot be written.";
    int movedOn = 0;
    SetSavedAlarmsChangedHandler([&] { ++movedOn; });
    form->Button1Click();
    SetSavedAlarmsChangedHandler({});
    EXPECT_EQ(movedOn, 1);  // the next saved alarm in time rings, not one the list passed by

    // Keys new to the file are added in the order they are written; the
    // alarm's own keys go to the main window, which writes them in one piece.
    EXPECT_EQ(ReadFileBytes(f.dir.File("TOLVENMARKCLOCK.INI")),
              "[ALARM]\nAPPPATH=/data\nPLAYER=\nMTYPE=Text Message\nALFILE=Get up!\nSNOOZE=Yes\n"
              "CHANGEALARM=No\nDELETEALARM=Yes\nSNOOZEMIN=7\n");
    EXPECT_EQ(host.calls, std::vector<std::string>{"pending Morning | 12/7/2026 | 7:05:00 AM"});
    // 7:05 is past at 9:15: taken, and said.
    EXPECT_EQ(f.prompts.shown, (std::vector<std::string>{"Error: The file : /x cannot be written.",
                                                         "Warning: The alarm time has passed.  This alarm will not ring."}));
    EXPECT_EQ(form->result(), QDialog::Accepted);
}

// A schedule moved the pending alarm on: fields left alone follow it, ones the user changed stay.
TEST_F(AlarmSettingsTest, UntouchedAlarmFieldsFollowThePendingAlarmAWindowMovedOn) {
    for (const bool typed : {false, true}) {
        SCOPED_TRACE(typed);
        f.Set("ALHEADER", "Far");
        f.Set("ALDATE", "1/1/2099");
        f.Set("ALTIME", "7:00:00 AM");
        AlarmSettingsHooks hooks;
        hooks.openSchedule = [&](const AlarmHandover&) {
            f.Set("ALHEADER", "Gym");
            f.Set("ALDATE", "12/8/2026");
            f.Set("ALTIME", "6:00:00 AM");
        };
        auto form = Open(hooks);
        if (typed) form->Edit3->setText("Own");
        form->Button10Click();
        EXPECT_EQ(form->Edit3->text().toStdString(), typed ? "Own" : "Gym");
        EXPECT_EQ(form->Edit2->text().toStdString(), typed ? "1/1/2099" : "12/8/2026");
        EXPECT_EQ(form->PickerTime(), typed ? "7:00:00 AM" : "6:00:00 AM");
    }
}

TEST_F(AlarmSettingsTest, CancelShowsThePendingAlarmAgainAndWritesNothing) {
    f.Set("ALDATE", "1/2/2027");
    const std::string before = ReadFileBytes(f.dir.File("TOLVENMARKCLOCK.INI"));
    auto form = Open();
    form->Edit3->setText("changed");
    form->Button2Click();
    EXPECT_EQ(ReadFileBytes(f.dir.File("TOLVENMARKCLOCK.INI")), before);
    EXPECT_EQ(host.calls, std::vector<std::string>{"show"});
    EXPECT_EQ(form->result(), QDialog::Rejected);
}

// ---- Other dialogs ----------------------------------------------------------

TEST_F(AlarmSettingsTest, CalendarAnswersInSlotOne) {
    int caller = 0;
    AlarmSettingsHooks hooks;
    hooks.openCalendar = [&] {
        caller = AppHandovers().calendarCaller;
        AppHandovers().calendarResult[1] = "3/3/2027";
        AppHandovers().calendarResult[3] = "4/4/2027";
    };
    std::optional<AlarmHandover> schedule;
    hooks.openSchedule = [&](const AlarmHandover& input) { schedule = input; };
    auto form = Open(hooks);
    form->Button6Click();
    EXPECT_EQ(caller, 1);
    EXPECT_EQ(Text(form->Edit2), "3/3/2027");

    form->Edit3->setText("Gym");
    form->DateTimePicker1->setTime(QTime(18, 0, 0));
    form->Button10Click();
    ASSERT_TRUE(schedule);
    EXPECT_EQ(schedule->header, "Gym");
    EXPECT_EQ(schedule->date, "3/3/2027");
    EXPECT_EQ(schedule->time, "6:00:00 PM");
}

// ---- Storage bin hand-over ---------------------------------------------------

struct HandoverCase {
    const char* proves;
    FileHandover file;
    AlarmHandover alarm;
    const char* mediaType;
    const char* ticked;
    const char* player;  // in memory afterwards
    const char* startString;
    const char* caption;
};

void PrintTo(const HandoverCase& c, std::ostream* os) { *os << c.proves; }

class HandoverTest : public AlarmSettingsTest, public ::testing::WithParamInterface<HandoverCase> {};

TEST_P(HandoverTest, CopiedEntryTakesOverTheDialog) {
    const HandoverCase& c = GetParam();
    Install({"WMP", "WINAMP", "REALONE"});
    f.Set("PLAYER", "");
    AlarmSettingsHooks hooks;
    hooks.openStorageBin = [&] {
        AppHandovers().copiedFile = c.file;
        AppHandovers().copiedAlarm = c.alarm;
    };
    auto form = Open(hooks);
    form->Button7Click();
    EXPECT_EQ(form->SelectedMediaType(), c.mediaType);
    EXPECT_EQ(Ticked(*form), c.ticked);
    EXPECT_EQ(form->Player(), c.player);
    EXPECT_EQ(form->StartString(), c.startString);
    EXPECT_EQ(Text(form->Label1), c.caption);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, HandoverTest,
    ::testing::Values(
        HandoverCase{"cd is tested before the other kinds, an entry without a player changes none",
                     {"C:\\Music\\abcd.wav", ""}, {}, "CD Audio", "", "", "C:\\Music\\abcd.wav", "File to Open"},
        HandoverCase{"the VCD address selects VCD", {"D:\\Mpegav\\Avseq01.dat", "REALONE"}, {}, "VCD", "REALONE",
                     "REALONE", "D:\\Mpegav\\Avseq01.dat", "Video CD (VCD)"},
        HandoverCase{"nothing copied changes no player", {}, {}, "", "", "", "", "File to Open"},
        HandoverCase{"mp3 in any place", {"/radio/mp3/stream.ogg", "WINAMP"}, {}, "MP3", "WINAMP", "WINAMP",
                     "/radio/mp3/stream.ogg", "File to Open"},
        HandoverCase{"upper-case MP3 is another file", {"/m/A.MP3", "WINAMP"}, {}, "Other File Format", "WINAMP",
                     "WINAMP", "/m/A.MP3", "File to Open"},
        HandoverCase{"http stream", {"http://radio.example/live.pls", "WINAMP"}, {}, "Internet Radio Station",
                     "WINAMP", "WINAMP", "http://radio.example/live.pls",
                     "URL of Internet Radio Stream or Playlist File"},
        HandoverCase{"text message keeps caption and players", {"Get up!", "MESSAGE"}, {}, "Text Message", "", "",
                     "Get up!", "File to Open"},
        HandoverCase{"network message", {"net send bob up", "NETMESS"}, {}, "Network Message", "", "",
                     "net send bob up", "File to Open"}));

// An entry copied on an earlier opening of the bin is not taken again at the next close.
TEST_F(AlarmSettingsTest, ClosingTheStorageBinKeepsThePlayer) {
    Install({"CUSTOM"});
    AlarmSettingsHooks hooks;
    int openings = 0;
    hooks.openStorageBin = [&] { if (openings++ == 0) AppHandovers().copiedFile = {"/m/a.mp3", "CUSTOM"}; };
    auto form = Open(hooks);
    form->Button7Click();
    form->CheckBox6->setChecked(false);
    form->Button7Click();
    EXPECT_EQ(Ticked(*form), "");
}

TEST_F(AlarmSettingsTest, CopiedAlarmFillsHeaderDateAndTime) {
    Install({"WMP"});
    AlarmSettingsHooks hooks;
    hooks.openStorageBin = [&] { AppHandovers().copiedAlarm = {"Train", "2/1/2027", "05:10:00 AM"}; };
    auto form = Open(hooks);
    form->Edit3->setText("Before");
    form->Button7Click();
    EXPECT_EQ(Text(form->Edit3), "Train");
    EXPECT_EQ(Text(form->Edit2), "2/1/2027");
    EXPECT_EQ(form->PickerTime(), "5:10:00 AM");
}

// ---- Bin additions through the dialog ---------------------------------------

TEST_F(AlarmSettingsTest, AddingTheSameAlarmTwiceShowsTheDuplicateNotice) {
    auto form = Open();
    form->Edit3->setText("Run");
    form->DateTimePicker1->setTime(QTime(6, 0, 0));
    form->Button11Click();
    const std::string once = ReadFileBytes(f.dir.File("Alarms.txt"));
    EXPECT_EQ(once, "Run^12/7/2026^6:00:00 AM^\r\n");
    form->Button11Click();
    EXPECT_EQ(ReadFileBytes(f.dir.File("Alarms.txt")), once);
    EXPECT_EQ(f.prompts.shown, std::vector<std::string>{"Information: This alarm has already been added to the bin."});
}

TEST_F(AlarmSettingsTest, SettingsGoToTheBinWithThePlayerLastTicked) {
    Install({"WINAMP"});
    auto form = Open();
    form->ComboBox1->setCurrentIndex(0);
    form->CheckBox2->setChecked(true);
    form->Edit1->setText("/m/a.mp3");
    form->Button8Click();
    EXPECT_EQ(ReadFileBytes(f.dir.File("StorageBin.txt")), "/m/a.mp3^^WINAMP^\r\n");
}

}  // namespace
}  // namespace tolvenmark
