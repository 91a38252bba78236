#include "setup/alarm_test.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "setup/alarm_settings.h"
#include "setup/media_types.h"
#include "setup/setup_fixture.h"
#include "support/recording_script.h"
#include "support/stand_in_internet.h"

namespace tolvenmark {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::QuietHost;
using testing::RecordingScript;
using testing::SetupFixture;

// A dialog with Windows Media Player ticked (the recording script is its
// program) and an alarm test on it.
class AlarmTestTest : public ::testing::Test {
protected:
    AlarmTestTest() {
        host.appPath = f.dir.path();
        f.Set("WMP", player.path());
        f.Set("PLAYER", "WMP");
        f.Set("MTYPE", "MP3");
        testing::WriteFileBytes(song, "ID3");
        f.Set("ALFILE", song);
        form = std::make_unique<TForm2>(host, f.config);
    }

    AlarmTestLinks Links() {
        AlarmTestLinks links(SystemLookups(f.config), internet, launcher);
        links.beep = [this] { events.push_back("beep"); };
        links.bringToFront = [this] { events.push_back("front"); };
        return links;
    }
    AlarmTest& Test() {
        if (!test) test = new AlarmTest(*form, Links());
        return *test;
    }
    void Select(const std::string& type, const std::string& startString) {
        form->ComboBox1->setCurrentIndex(MediaTypeIndex(type));
        form->Edit1->setText(QString::fromStdString(startString));
    }
    // Presses "&Test Alarm" and lets its timer fire.
    void PressAndFire() {
        Test().Button4Click();
        ASSERT_TRUE(Test().Timer1->isActive());
        Test().Timer1Timer();
    }
    static void FreeDeferred() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    SetupFixture f;
    QuietHost host;
    RecordingScript player{f.dir.path(), "player", "exit 0"};
    std::string song = f.dir.File("wake up 'now' $(id).mp3");
    testing::StandInInternet internet;
    Launcher launcher;
    std::vector<std::string> events;
    std::unique_ptr<TForm2> form;
    QPointer<AlarmTest> test;
};

// ---- The command line ----------------------------------------------------

struct CommandCase {
    const char* proves;
    const char* mediaType;
    std::string startString;  // "<song>" stands for an existing file with blanks and quotes
    std::vector<std::string> args;
};

void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.proves; }

class TestCommandLine : public AlarmTestTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(TestCommandLine, PlayerGetsStartStringAsOneArgument) {
    const CommandCase& c = GetParam();
    f.Set("ICONNECT", kLanConnection);
    const std::string start = c.startString == "<song>" ? song : c.startString;
    Select(c.mediaType, start);
    PressAndFire();
    ASSERT_TRUE(player.WaitForCalls(1));
    std::vector<std::string> expected = c.args;
    for (std::string& a : expected)
        if (a == "<song>") a = song;
    EXPECT_EQ(player.Calls()[0].args, expected);
    EXPECT_THAT(f.prompts.shown, IsEmpty());
    EXPECT_FALSE(Test().Timer1->isActive());
    EXPECT_THAT(internet.calls, ElementsAre("hide"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TestCommandLine,
    ::testing::Values(
        CommandCase{"a file path reaches the player whole, unquoted", "MP3", "<song>", {"<song>"}},
        CommandCase{"a disc address is passed unchanged", "CD Audio", "wmpcd://0/1", {"wmpcd://0/1"}},
        CommandCase{"a stream is passed unchanged", "Internet Radio Station", "http://radio.example/live;x",
                    {"http://radio.example/live;x"}},
        CommandCase{"a missing file starts the player with no file part", "MP3", "/nowhere/gone.mp3", {}},
        CommandCase{"an empty start string gives no argument", "MP3", "", {}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(AlarmTestTest, TheTestTakesTheTickedPlayerNotTheSavedOne) {
    RecordingScript other{f.dir.path(), "winamp", "exit 0"};
    f.Set("WINAMP", other.path());
    form = std::make_unique<TForm2>(host, f.config);
    form->CheckBox2->setChecked(true);  // ticked now, PLAYER still says WMP
    Select("MP3", song);
    PressAndFire();
    ASSERT_TRUE(other.WaitForCalls(1));
    EXPECT_THAT(other.Calls()[0].args, ElementsAre(song));
    EXPECT_THAT(player.Calls(), IsEmpty());
}

// ---- Messages ------------------------------------------------------------

TEST_F(AlarmTestTest, TextMessageBeepsShowsTheFieldAndComesToTheFront) {
    Select("Text Message", "Time to get up!");
    Test().Button4Click();
    EXPECT_EQ(Test().Timer1->interval(), 1000);
    form->Edit1->setText("Changed before the second was up");
    Test().Timer1Timer();
    EXPECT_THAT(events, ElementsAre("beep", "front"));
    EXPECT_THAT(f.prompts.shown, ElementsAre("Tolvenmark Clock: Changed before the second was up"));
    EXPECT_FALSE(Test().Timer1->isActive());
}

TEST_F(AlarmTestTest, NetworkMessageRunsTheFieldAsACommandLine) {
    RecordingScript netSend{f.dir.path(), "net send", "exit 0"};
    Select("Network Message", "'" + netSend.path() + "' bob \"hello there\"");
    PressAndFire();
    ASSERT_TRUE(netSend.WaitForCalls(1));
    EXPECT_THAT(netSend.Calls()[0].args, ElementsAre("bob", "hello there"));
    EXPECT_THAT(f.prompts.shown, ElementsAre("Information: Network message sent."));
    EXPECT_THAT(player.Calls(), IsEmpty());
}

// ---- The connection gate -------------------------------------------------

struct GateCase {
    const char* proves;
    const char* mediaType;
    const char* iConnect;
    const char* wait;
    std::uint16_t stateAtPress, stateAtFire;
    int intervalMs;
    bool dials, plays;
    std::vector<std::string> shown;
};

void PrintTo(const GateCase& c, std::ostream* os) { *os << c.proves; }

class TestGate : public AlarmTestTest, public ::testing::WithParamInterface<GateCase> {};

TEST_P(TestGate, OnlyARadioTestWaitsForItsConnection) {
    const GateCase& c = GetParam();
    f.Set("ICONNECT", c.iConnect);
    f.Set("WAIT", c.wait);
    Select(c.mediaType, std::string(c.mediaType) == "Text Message" ? "Hello" : "http://radio.example/live");
    internet.state = c.stateAtPress;
    Test().Button4Click();
    EXPECT_EQ(Test().Timer1->interval(), c.intervalMs);
    if (c.dials)
        EXPECT_THAT(internet.calls, ElementsAre("show", "dial"));
    else
        EXPECT_THAT(internet.calls, IsEmpty());
    internet.state = c.stateAtFire;
    Test().Timer1Timer();
    EXPECT_EQ(player.WaitForCalls(1, c.plays ? 5000 : 300), c.plays);
    EXPECT_EQ(f.prompts.shown, c.shown);
    EXPECT_FALSE(Test().Timer1->isActive());
}

const char* kNoConnection = "Warning: The alarm could not be started because no internet connection was available.";

INSTANTIATE_TEST_SUITE_P(
    Cases, TestGate,
    ::testing::Values(
        GateCase{"an MP3 test ignores a dial-up entry that is down", "MP3", "Office", "30", 0, 0, 1000, false,
                 true, {}},
        GateCase{"a text message needs no connection", "Text Message", "Office", "", 0, 0, 1000, false, false,
                 {"Tolvenmark Clock: Hello"}},
        GateCase{"a radio test over the LAN goes at once", "Internet Radio Station", kLanConnection, "30", 0, 0,
                 1000, false, true, {}},
        GateCase{"a radio test dials and plays once connected", "Internet Radio Station", "Office", "30", 0, 8192,
                 30000, true, true, {}},
        GateCase{"a radio test still unconnected says so", "Internet Radio Station", "Office", "30", 0, 0, 30000,
                 true, false, {kNoConnection}},
        GateCase{"no WAIT waits a minute", "Internet Radio Station", "Office", "", 0, 0, 60000, true, false,
                 {kNoConnection}},
        GateCase{"a WAIT of 0 still waits a second", "Internet Radio Station", "", "0", 0, 0, 1000, true, false,
                 {kNoConnection}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// ---- One shot, and the dialog's life ---------------------------------------

TEST_F(AlarmTestTest, AClosedDialogIsFreedAndItsPendingTestRunsWithItsLastValues) {
    Select("Text Message", "Closed but not forgotten");
    Test().Button4Click();
    form->Button2Click();  // "&Cancel"
    form.reset();
    FreeDeferred();
    ASSERT_FALSE(test.isNull()) << "the pending test went with the dialog";
    ASSERT_TRUE(test->Timer1->isActive());
    test->Timer1Timer();
    EXPECT_THAT(f.prompts.shown, ElementsAre("Tolvenmark Clock: Closed but not forgotten"));
    FreeDeferred();
    EXPECT_TRUE(test.isNull());
}

TEST_F(AlarmTestTest, AFreedDialogWithNoTestPendingTakesItsTestAlong) {
    Select("Text Message", "Hello");
    PressAndFire();
    form.reset();
    FreeDeferred();
    EXPECT_TRUE(test.isNull());
}

TEST_F(AlarmTestTest, TheHookGivesEachDialogOneTestThatFiresOnce) {
    AlarmSettingsHooks hooks;
    hooks.testAlarm = AlarmTest::Hook(Links());
    form = std::make_unique<TForm2>(host, f.config, hooks);
    Select("Text Message", "Once");
    form->Button4->click();
    form->Button4->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.prompts.shown.empty(); }, 5000));
    QTest::qWait(1300);
    EXPECT_THAT(f.prompts.shown, ElementsAre("Tolvenmark Clock: Once"));
}

}  // namespace
}  // namespace tolvenmark
