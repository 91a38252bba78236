#include <functional>
#include <map>
#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "bin/calendar_form.h"
#include "bin/delete_range_form.h"
#include "bin/dialog_env.h"
#include "bin/edit_alarm_form.h"
#include "bin/schedule_form.h"
#include "bin/storage_bin_form.h"
#include "platform/conversion_error.h"
#include "setup/alarm_settings.h"
#include "setup/media_setup.h"
#include "setup/setup_fixture.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;
using Files = std::map<std::string, std::string>;  // file name -> bytes

// The bin files and the configuration in one folder, on 12/7/2026.
struct World {
    testing::SetupFixture f;
    testing::QuietHost host;
    RegionalSettings settings;
    FixedClock clock{DateTime{2026, 12, 7, 9, 15, 30, 0}};
    SavedAlarmList rows;

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
    Files Write(const Files& files) {
        for (const auto& [name, bytes] : files) WriteFileBytes(f.dir.File(name), bytes);
        return files;
    }
    // Every key alarm settings' OK writes, as it writes it: OK changes no byte.
    Files StoreAlarm(const std::string& text) {
        for (const auto& [key, value] : std::map<std::string, std::string>{
                 {"PLAYER", "CUSTOM"}, {"CUSTOM", f.MakeProgram("pl" + text)}, {"MTYPE", "MP3"},
                 {"ALFILE", "/m/" + text + ".mp3"}, {"SNOOZE", "No"}, {"CHANGEALARM", "No"}, {"DELETEALARM", "No"},
                 {"SNOOZEMIN", "5"}, {"ALDATE", "12/8/2026"}, {"ALTIME", "7:30:00 AM"}, {"ALHEADER", text}})
            f.Set(key, value);
        return {{"TOLVENMARKCLOCK.INI", ReadFileBytes(f.dir.File("TOLVENMARKCLOCK.INI"))}};
    }
};

std::string AlarmLine(const std::string& header) { return header + "^12/8/2026^7:30:00 AM^\r\n"; }

// ---- Saved text keeps its bytes ------------------------------------------

// Each window opened on saved text and confirmed without an edit; returns
// what the files it writes must then hold.
const std::pair<const char*, std::function<Files(World&, const std::string&)>> kConfirms[] = {
    {"StorageBinDone",
     [](World& w, const std::string& t) {
         const Files files = w.Write({{"StorageBin.txt", "/m/" + t + "^^WMP^\r\n" + t + "^Text Message^MESSAGE^\r\n"},
                                      {"Alarms.txt", AlarmLine(t)}});
         TForm7(nullptr, w.f.dir.path(), w.f.config).Button1Click();
         return files;
     }},
    {"EditAlarmSave",
     [](World& w, const std::string& t) {
         const Files files = w.Write({{"Alarms.txt", AlarmLine(t)}});
         TForm7 form(nullptr, w.f.dir.path(), w.f.config);
         testing::OnNextModal<TForm9>([](TForm9& edit) { edit.Button2Click(); });
         form.Button6Click();
         form.Button1Click();
         return files;
     }},
    {"ScheduleSet",
     [](World& w, const std::string& t) {
         TForm10(nullptr, w.f.dir.path(), {}, t, "12/8/2026", "7:30:00 AM").Button2Click();
         return Files{{"Alarms.txt", AlarmLine(t)}};
     }},
    {"AlarmSettingsOk",
     [](World& w, const std::string& t) {
         const Files files = w.StoreAlarm(t);
         TForm2(w.host, w.f.config).Button1Click();
         return files;
     }},
    {"BinAdditions",
     [](World& w, const std::string& t) {
         w.StoreAlarm(t);
         TForm2 form(w.host, w.f.config);
         form.Button8Click();
         form.Button11Click();
         return Files{{"StorageBin.txt", "/m/" + t + ".mp3^^CUSTOM^\r\n"}, {"Alarms.txt", AlarmLine(t)}};
     }},
    {"MediaProgramsOk",
     [](World& w, const std::string& t) {
         for (const char* key : {"WMP", "WINAMP", "REALONE", "QUICKTIME", "CUSTOM"}) w.f.Set(key, "/opt/" + t + key);
         w.f.Set("CDDRIVE", "");
         w.f.Set("DVDDRIVE", "");
         const Files files{{"TOLVENMARKCLOCK.INI", ReadFileBytes(w.f.dir.File("TOLVENMARKCLOCK.INI"))}};
         TForm6(w.f.config, AppMediaMemory(), w.f.sysRoot()).Button5Click();
         return files;
     }},
};

const std::pair<const char*, std::string> kTexts[] = {
    {"Western", "Caf\xE9 \x93time\x94 \x81"}, {"Utf8", "Caf\xC3\xA9 \xE2\x80\x9Ctime\xE2\x80\x9D"}, {"Ascii", "Tea"}};

class SavedBytesTest : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(SavedBytesTest, UneditedKeepsEveryByte) {
    World w;
    const Files expected = kConfirms[std::get<0>(GetParam())].second(w, kTexts[std::get<1>(GetParam())].second);
    for (const auto& [name, bytes] : expected) EXPECT_EQ(ReadFileBytes(w.f.dir.File(name)), bytes) << name;
}

INSTANTIATE_TEST_SUITE_P(Encodings, SavedBytesTest,
                         ::testing::Combine(::testing::Range(0, 6), ::testing::Range(0, 3)), [](const auto& info) {
                             return std::string(kConfirms[std::get<0>(info.param)].first) +
                                    kTexts[std::get<1>(info.param)].first;
                         });

// An edited cell is saved in its line's encoding; a character that encoding
// cannot hold refuses the save before either file changes.
TEST(SavedBytes, EditedWesternCellKeepsItsLinesEncodingOrRefusesTheSave) {
    World w;
    const Files files = w.Write({{"StorageBin.txt", "/m/Caf\xE9.mp3^^WMP^\r\n"}, {"Alarms.txt", AlarmLine("Tea")}});
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

// ---- Every dialog's frame and keys ----------------------------------------

struct DialogCase {
    const char* name;
    std::function<std::unique_ptr<QDialog>(World&, QWidget* parent)> open;
    const char* defaultButton;  // the one Return may press, or ""
    bool centred;               // on the screen, not on the window that opened it
};

void PrintTo(const DialogCase& c, std::ostream* os) { *os << c.name; }

const DialogCase kDialogs[] = {
    {"StorageBin", [](World& w, QWidget* p) { return std::make_unique<TForm7>(p, w.f.dir.path(), w.f.config); }, "",
     true},
    {"EditAlarm", [](World&, QWidget* p) { return std::make_unique<TForm9>(p); }, "", true},
    {"Schedule", [](World& w, QWidget* p) { return std::make_unique<TForm10>(p, w.f.dir.path(), w.f.config, "", "", ""); },
     "", true},
    {"DeleteRange", [](World& w, QWidget* p) { return std::make_unique<TForm11>(p, w.rows); }, "", true},
    {"Calendar", [](World&, QWidget* p) { return std::make_unique<TForm3>(p); }, "&OK", true},
    {"AlarmSettings",
     [](World& w, QWidget* p) { return std::make_unique<TForm2>(w.host, w.f.config, AlarmSettingsHooks{}, AppMediaMemory(), p); },
     "", true},
    {"MediaPrograms",
     [](World& w, QWidget* p) { return std::make_unique<TForm6>(w.f.config, AppMediaMemory(), w.f.sysRoot(), p); }, "",
     false},
};

class DialogTest : public ::testing::TestWithParam<DialogCase> {};

// Opened from a small window in the screen's corner, as the clock may be.
TEST_P(DialogTest, CentredIconedReturnPressesNoOther) {
    World w;
    w.Write({{"StorageBin.txt", "/gone/b.mp3^^WMP^\r\n"}});
    QWidget opener;
    opener.setGeometry(0, 0, 40, 40);
    opener.show();
    std::unique_ptr<QDialog> dialog = GetParam().open(w, &opener);
    dialog->show();
    EXPECT_FALSE(dialog->windowIcon().isNull());
    for (QWidget* caption : dialog->findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(caption) || qobject_cast<QCheckBox*>(caption) || qobject_cast<QRadioButton*>(caption)) {
            EXPECT_GE(caption->width(), caption->sizeHint().width()) << caption->property("text").toString().toStdString();
        }
    }
    const QPoint offset = dialog->geometry().center() - dialog->screen()->availableGeometry().center();
    if (GetParam().centred) {
        EXPECT_LE(offset.manhattanLength(), 8) << offset.x() << "," << offset.y();  // a window frame
    }

    std::vector<std::string> pressed;
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        QObject::connect(button, &QPushButton::pressed, [&pressed, button] { pressed.push_back(button->text().toStdString()); });
    QTimer closer;  // a handler that opens another dialog must not hold the test
    QObject::connect(&closer, &QTimer::timeout, [&dialog] {
        if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()); other && other != dialog.get())
            other->reject();
    });
    closer.start(10);
    QWidget* first = dialog->nextInFocusChain();
    while (first != dialog.get() && !(first->isVisible() && first->isEnabled() && (first->focusPolicy() & Qt::TabFocus)))
        first = first->nextInFocusChain();
    QTest::keyClick(first, Qt::Key_Return);
    EXPECT_EQ(pressed, *GetParam().defaultButton ? std::vector<std::string>{GetParam().defaultButton}
                                                 : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogTest, ::testing::ValuesIn(kDialogs),
                         [](const auto& info) { return std::string(info.param.name); });

// An accelerator clicks without taking the focus from the cell editor.
TEST(StorageBinCell, BeingEditedIsCommittedBeforeAnAcceleratorsButtonActs) {
    World w;
    w.Write({{"StorageBin.txt", "/m/a.mp3^^WMP^\r\n"}});
    TForm7 form(nullptr, w.f.dir.path(), w.f.config);
    form.show();
    form.StringGrid1->setCurrentCell(0, 0);
    form.StringGrid1->editItem(form.StringGrid1->item(0, 0));
    auto* editor = qobject_cast<QLineEdit*>(form.StringGrid1->indexWidget(form.StringGrid1->currentIndex()));
    ASSERT_NE(editor, nullptr);
    editor->setText("/m/new.mp3");
    form.Button1->animateClick();  // what Alt+D does
    ASSERT_TRUE(QTest::qWaitFor([&form] { return form.result() == QDialog::Accepted; }));
    EXPECT_EQ(ReadFileBytes(w.f.dir.File("StorageBin.txt")), "/m/new.mp3^^WMP^\r\n");
}

}  // namespace
}  // namespace tolvenmark
