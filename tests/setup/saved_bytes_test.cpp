#include <functional>
#include <map>

#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "bin/dialog_env.h"
#include "bin/edit_alarm_form.h"
#include "bin/schedule_form.h"
#include "bin/storage_bin_form.h"
#include "platform/clock.h"
#include "platform/conversion_error.h"
#include "platform/regional_settings.h"
#include "setup/alarm_settings.h"
#include "setup/fake_host.h"
#include "setup/media_setup.h"
#include "setup/setup_fixture.h"

namespace tolvenmark {
namespace {

using testing::FakeHost;
using testing::ReadFileBytes;
using testing::SetupFixture;
using testing::WriteFileBytes;

using Files = std::map<std::string, std::string>;  // file name -> bytes

// A folder holding the bin files and the configuration, a clock stopped on
// 12/7/2026 and the alarm-time shape of the regional settings.
struct World {
    SetupFixture f;
    FakeHost host;
    RegionalSettings settings;
    FixedClock clock{DateTime{2026, 12, 7, 9, 15, 30, 0}};

    World() {
        settings.shortTimeFormat = "h:mm:ss AMPM";
        SetAppRegionalSettings(&settings);
        SetAppClock(&clock);
        AppHandovers() = Handovers{};
        host.appPath = f.dir.path();
    }
    ~World() {
        SetAppRegionalSettings(nullptr);
        SetAppClock(nullptr);
    }
    void Write(const Files& files) {
        for (const auto& [name, bytes] : files) WriteFileBytes(f.dir.File(name), bytes);
    }
    // The alarm settings' stored keys: every one OK writes, as OK would write it.
    void StoreAlarm(const std::string& text) {
        for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
                 {"PLAYER", "CUSTOM"}, {"CUSTOM", f.MakeProgram("pl" + text)}, {"MTYPE", "MP3"},
                 {"ALFILE", "/m/" + text + ".mp3"}, {"SNOOZE", "No"}, {"CHANGEALARM", "No"},
                 {"DELETEALARM", "No"}, {"SNOOZEMIN", "5"}, {"ALDATE", "12/8/2026"}, {"ALTIME", "7:30:00 AM"},
                 {"ALHEADER", text}})
            f.Set(key, value);
    }
};

std::string AlarmLine(const std::string& header) { return header + "^12/8/2026^7:30:00 AM^\r\n"; }

// Each window opened on saved text and confirmed without an edit; returns
// what every file it may write must then hold.
struct WindowCase {
    const char* name;
    std::function<Files(World&, const std::string&)> confirm;
};

const WindowCase kWindows[] = {
    {"StorageBinDone",
     [](World& w, const std::string& text) {
         const Files files{{"StorageBin.txt", "/m/" + text + ".mp3^^WMP^\r\n" + text + "^Text Message^MESSAGE^\r\n"},
                           {"Alarms.txt", AlarmLine(text)}};
         w.Write(files);
         TForm7 form(nullptr, w.f.dir.path(), w.f.config);
         form.Button1Click();
         return files;
     }},
    {"EditAlarmSave",
     [](World& w, const std::string& text) {
         const Files files{{"Alarms.txt", AlarmLine(text)}};
         w.Write(files);
         TForm7 form(nullptr, w.f.dir.path(), w.f.config);
         form.RadioGroup1[1]->setChecked(true);
         testing::OnNextModal<TForm9>([](TForm9& edit) { edit.Button2Click(); });
         form.Button6Click();
         form.Button1Click();
         return files;
     }},
    {"ScheduleSet",
     [](World& w, const std::string& text) {
         TForm10 form(nullptr, w.f.dir.path(), {}, text, "12/8/2026", "7:30:00 AM");
         form.Button2Click();
         return Files{{"Alarms.txt", AlarmLine(text)}};
     }},
    {"AlarmSettingsOk",
     [](World& w, const std::string& text) {
         w.StoreAlarm(text);
         const Files files{{"TOLVENMARKCLOCK.INI", ReadFileBytes(w.f.dir.File("TOLVENMARKCLOCK.INI"))}};
         TForm2(w.host, w.f.config).Button1Click();
         return files;
     }},
    {"BinAdditions",
     [](World& w, const std::string& text) {
         w.StoreAlarm(text);
         TForm2 form(w.host, w.f.config);
         form.Button8Click();
         form.Button11Click();
         return Files{{"StorageBin.txt", "/m/" + text + ".mp3^^CUSTOM^\r\n"}, {"Alarms.txt", AlarmLine(text)}};
     }},
    {"MediaProgramsOk",
     [](World& w, const std::string& text) {
         for (const char* key : {"WMP", "WINAMP", "REALONE", "QUICKTIME", "CUSTOM"})
             w.f.Set(key, "/opt/" + text + "/" + key);
         w.f.Set("CDDRIVE", "");
         w.f.Set("DVDDRIVE", "");
         const Files files{{"TOLVENMARKCLOCK.INI", ReadFileBytes(w.f.dir.File("TOLVENMARKCLOCK.INI"))}};
         TForm6(w.f.config, AppMediaMemory(), w.f.sysRoot()).Button5Click();
         return files;
     }},
};

const std::pair<const char*, std::string> kTexts[] = {
    {"Western", "Caf\xE9 \x93time\x94 \x81"}, {"Utf8", "Caf\xC3\xA9 \xE2\x80\x9Ctime\xE2\x80\x9D"}, {"Ascii", "Coffee time"}};

class SavedBytesTest : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(SavedBytesTest, ConfirmingWithoutAnEditKeepsEveryByte) {
    const WindowCase& window = kWindows[std::get<0>(GetParam())];
    const std::string& text = kTexts[std::get<1>(GetParam())].second;
    World w;
    const Files expected = window.confirm(w, text);
    for (const auto& [name, bytes] : expected) EXPECT_EQ(ReadFileBytes(w.f.dir.File(name)), bytes) << name;
}

INSTANTIATE_TEST_SUITE_P(WindowsAndEncodings, SavedBytesTest,
                         ::testing::Combine(::testing::Range(0, 6), ::testing::Range(0, 3)),
                         [](const auto& info) {
                             return std::string(kWindows[std::get<0>(info.param)].name) +
                                    kTexts[std::get<1>(info.param)].first;
                         });

// An edited cell is saved in its line's encoding; a character the encoding
// has no place for refuses the save before either file changes.
TEST(SavedBytes, EditedWesternCellKeepsItsLinesEncodingOrRefusesTheSave) {
    World w;
    const Files files{{"StorageBin.txt", "/m/Caf\xE9.mp3^^WMP^\r\n"}, {"Alarms.txt", AlarmLine("Tea")}};
    w.Write(files);
    TForm7 form(nullptr, w.f.dir.path(), w.f.config);
    form.StringGrid1->item(0, 0)->setText(QString::fromUtf8("/m/Caf\u00E9 \u20AC.mp3"));
    form.Button1Click();
    EXPECT_EQ(ReadFileBytes(w.f.dir.File("StorageBin.txt")), "/m/Caf\xE9 \x80.mp3^^WMP^\r\n");

    w.Write(files);
    TForm7 again(nullptr, w.f.dir.path(), w.f.config);
    again.StringGrid1->item(0, 0)->setText(QString::fromUtf8("/m/\u65E5.mp3"));
    EXPECT_THROW(again.Button1Click(), OperationError);
    for (const auto& [name, bytes] : files) EXPECT_EQ(ReadFileBytes(w.f.dir.File(name)), bytes) << name;
}

}  // namespace
}  // namespace tolvenmark
