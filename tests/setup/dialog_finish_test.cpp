#include <functional>
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
#include "bin/edit_alarm_form.h"
#include "bin/handover.h"
#include "bin/schedule_form.h"
#include "bin/storage_bin_form.h"
#include "platform/clock.h"
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

struct World {
    SetupFixture f;
    FakeHost host;
    RegionalSettings settings;
    FixedClock clock{DateTime{2026, 12, 7, 9, 15, 30, 0}};
    SavedAlarmList rows;

    World() {
        SetAppRegionalSettings(&settings);
        SetAppClock(&clock);
        AppHandovers() = Handovers{};
        host.appPath = f.dir.path();
        WriteFileBytes(f.dir.File("StorageBin.txt"), "/m/a.mp3^^WMP^\r\n/gone/b.mp3^^WMP^\r\n");
        WriteFileBytes(f.dir.File("Alarms.txt"), "Tea^12/8/2026^7:30:00 AM^\r\n");
    }
    ~World() {
        SetAppRegionalSettings(nullptr);
        SetAppClock(nullptr);
    }
};

struct DialogCase {
    const char* name;
    std::function<std::unique_ptr<QDialog>(World&, QWidget* parent)> open;
    const char* defaultButton;  // the one Return may press, or ""
    bool centred;               // on the screen, not on the window that opened it
};

const DialogCase kDialogs[] = {
    {"StorageBin", [](World& w, QWidget* p) { return std::make_unique<TForm7>(p, w.f.dir.path(), w.f.config); }, "",
     true},
    {"EditAlarm", [](World&, QWidget* p) { return std::make_unique<TForm9>(p); }, "", true},
    {"Schedule",
     [](World& w, QWidget* p) {
         return std::make_unique<TForm10>(p, w.f.dir.path(), w.f.config, "Tea", "12/8/2026", "");
     },
     "", true},
    {"DeleteRange", [](World& w, QWidget* p) { return std::make_unique<TForm11>(p, w.rows); }, "", true},
    {"Calendar", [](World&, QWidget* p) { return std::make_unique<TForm3>(p); }, "&OK", true},
    {"AlarmSettings",
     [](World& w, QWidget* p) { return std::make_unique<TForm2>(w.host, w.f.config, AlarmSettingsHooks{}, AppMediaMemory(), p); },
     "", true},
    {"MediaPrograms",
     [](World& w, QWidget* p) { return std::make_unique<TForm6>(w.f.config, AppMediaMemory(), w.f.sysRoot(), p); },
     "", false},
};

void PrintTo(const DialogCase& c, std::ostream* os) { *os << c.name; }

class ReturnKeyTest : public ::testing::TestWithParam<DialogCase> {};

TEST_P(ReturnKeyTest, PressesNoButtonButTheNamedDefault) {
    World w;
    std::unique_ptr<QDialog> dialog = GetParam().open(w, nullptr);
    std::vector<std::string> pressed;
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        QObject::connect(button, &QPushButton::pressed, [&pressed, button] { pressed.push_back(button->text().toStdString()); });
    // A handler that opens another dialog must not leave the test waiting.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&dialog] {
        if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()); other && other != dialog.get())
            other->reject();
    });
    closer.start(10);
    dialog->show();
    QWidget* first = dialog->nextInFocusChain();
    while (first != dialog.get() && !(first->isVisible() && first->isEnabled() && (first->focusPolicy() & Qt::TabFocus)))
        first = first->nextInFocusChain();
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Return);
    const std::vector<std::string> expected =
        *GetParam().defaultButton ? std::vector<std::string>{GetParam().defaultButton} : std::vector<std::string>{};
    EXPECT_EQ(pressed, expected) << "first control: " << first->metaObject()->className();
    EXPECT_TRUE(w.f.prompts.shown.empty() || GetParam().name == std::string("MediaPrograms"));
}

class DialogFrameTest : public ::testing::TestWithParam<DialogCase> {};

// Opened from a small window in the screen's corner, as the clock may be.
TEST_P(DialogFrameTest, StandsInTheScreensCentreWithTheClocksIconAndWholeCaptions) {
    World w;
    QWidget opener;
    opener.setGeometry(0, 0, 40, 40);
    opener.show();
    std::unique_ptr<QDialog> dialog = GetParam().open(w, &opener);
    dialog->show();
    EXPECT_FALSE(dialog->windowIcon().isNull());
    for (QWidget* caption : dialog->findChildren<QWidget*>())
        if (qobject_cast<QLabel*>(caption) || qobject_cast<QCheckBox*>(caption) || qobject_cast<QRadioButton*>(caption))
            EXPECT_GE(caption->width(), caption->sizeHint().width()) << caption->property("text").toString().toStdString();
    if (!GetParam().centred) return;
    const QPoint offset = dialog->geometry().center() - dialog->screen()->availableGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 8) << offset.x() << "," << offset.y();  // a window frame's width
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogFrameTest, ::testing::ValuesIn(kDialogs),
                         [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Dialogs, ReturnKeyTest, ::testing::ValuesIn(kDialogs),
                         [](const auto& info) { return std::string(info.param.name); });

// An accelerator clicks without taking the focus from the cell editor.
struct CommitCase {
    const char* name;
    QPushButton* TForm7::*button;
    std::function<std::string(World&)> result;
};

const CommitCase kCommits[] = {
    {"DoneSavesIt", &TForm7::Button1, [](World& w) { return ReadFileBytes(w.f.dir.File("StorageBin.txt")); }},
    {"CopyEntryHandsItOver", &TForm7::Button5,
     [](World&) { return AppHandovers().copiedFile.target + "^^WMP^\r\n/gone/b.mp3^^WMP^\r\n"; }},
};

void PrintTo(const CommitCase& c, std::ostream* os) { *os << c.name; }

class CellCommitTest : public ::testing::TestWithParam<CommitCase> {};

TEST_P(CellCommitTest, CellBeingEditedIsCommittedBeforeTheButtonActs) {
    World w;
    TForm7 form(nullptr, w.f.dir.path(), w.f.config);
    form.show();
    form.StringGrid1->setCurrentCell(0, 0);
    form.StringGrid1->editItem(form.StringGrid1->item(0, 0));
    auto* editor = qobject_cast<QLineEdit*>(form.StringGrid1->indexWidget(form.StringGrid1->currentIndex()));
    ASSERT_NE(editor, nullptr);
    editor->setText("/m/new.mp3");
    bool clicked = false;
    QPushButton* button = form.*GetParam().button;
    QObject::connect(button, &QPushButton::clicked, [&clicked] { clicked = true; });
    button->animateClick();
    ASSERT_TRUE(QTest::qWaitFor([&clicked] { return clicked; }));
    EXPECT_EQ(GetParam().result(w), "/m/new.mp3^^WMP^\r\n/gone/b.mp3^^WMP^\r\n");
    EXPECT_EQ(form.StringGrid1->item(0, 0)->text(), "/m/new.mp3");
}

INSTANTIATE_TEST_SUITE_P(Buttons, CellCommitTest, ::testing::ValuesIn(kCommits),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tolvenmark
