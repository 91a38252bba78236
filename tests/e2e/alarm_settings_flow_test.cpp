#include <cstdlib>
#include <ctime>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <tuple>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/permanent_windows.h"
#include "bin/schedule_form.h"
#include "clock/main_window.h"
#include "clock/startup_load.h"
#include "platform/clock.h"
#include "platform/regional_settings.h"
#include "skin/skin_form.h"
#include "setup/alarm_settings.h"
#include "support/alarm_env.h"
#include "support/recording_script.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

// The whole program in this process: start-up, the main window with its
// permanent windows and the real dialogs, driven with the mouse and keys; the
// first player found on PATH is a recording script.
class AlarmSettingsFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.setQuitOnLastWindowClosed(false);
        setenv("PATH", (dir.path() + ":" + path).c_str(), 1);
        WriteFileBytes(song, "OggS");
        qputenv("TOLVENMARK_WINDIR", QByteArray::fromStdString(dir.path()));
        SetAppClock(&clock);
        SetAppRegionalSettings(&settings);  // M/d/yyyy, h:mm:ss AMPM, as LocalAlarmTexts writes them
    }
    void TearDown() override {
        windows.reset();
        form.reset();
        setenv("PATH", path.c_str(), 1);
        SetAppClock(nullptr);
        SetAppRegionalSettings(nullptr);
        qunsetenv("TOLVENMARK_WINDIR");
    }

    void WriteConfig(const std::string& keys) {
        WriteFileBytes(dir.File("TOLVENMARKCLOCK.INI"),
                       "[ALARM]\r\nAPPPATH=" + dir.path() + "\r\nVERSION=1.1\r\nALFORMAT=123\r\nALDATESEP=/\r\n"
                           "SKIN=Default\r\nALSET=TRUE\r\nICONNECT=\r\nMTYPE=MP3\r\nALFILE=" + song + "\r\n" + keys);
    }
    // A start of the clock from the files as they are (again: a restart).
    void Start() {
        windows.reset();
        form.reset();
        const StartupOutcome start = RunStartup(clock, settings, prompts);
        ASSERT_TRUE(start.proceed);
        form = std::make_unique<TForm1>();
        form->TrayAvailable = [] { return false; };
        form->FormCreate(start.config, start.pending);
        windows = std::make_unique<PermanentWindows>();
        CreatePermanentWindows(*form, *windows);
        form->show();
    }
    void Click(const char* hotArea) {
        const QRect box = form->SkinForm1->HotAreaBox(form->SkinForm1->FindHotArea(hotArea));
        QTest::mouseClick(form->SkinForm1, Qt::LeftButton, {}, box.center());
    }
    template <class Window>
    Window* Shown() {
        for (Window* window : form->findChildren<Window*>())
            if (window->isVisible()) return window;
        return nullptr;
    }
    // The user in the alarm settings dialog and the dialogs it opens: each
    // step runs when it can (returns true), in turn. A button that opens a
    // modal dialog is clicked from the event loop, so the next steps run in it.
    void InAlarmSettings(std::deque<std::function<bool()>> steps) {
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            if (!steps.empty() && steps.front()()) steps.pop_front();
        });
        user.start(20);
        Click("AL_SETTINGS");
        EXPECT_TRUE(steps.empty()) << steps.size() << " steps not done";
    }
    // The whole picker selected and at's time typed over it, 24-hour on a 12-hour clock.
    static void TypeTime(QWidget* picker, std::time_t at) {
        char typed[16];
        std::strftime(typed, sizeof typed, "%H:%M:%S", std::localtime(&at));
        QTest::mouseClick(picker, Qt::LeftButton);
        QTest::keyClick(picker, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(picker, typed);
    }

    int argc = 1;
    char name[17] = "tolvenmark-clock";
    char* argv[2] = {name, nullptr};
    TApplication app{argc, argv};
    testing::TempDir dir;
    testing::RecordingScript mpv{dir.path(), "mpv"};
    const std::string path = std::getenv("PATH"), song = dir.File("chime.ogg");
    testing::ScriptedPrompts prompts;
    testing::ScopedAppPrompts scoped{prompts};
    SystemClock clock;
    RegionalSettings settings;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<PermanentWindows> windows;
};

// Unticking the one player, typing the time, OK, and the tick ringing at
// that second with the first player found.
TEST_F(AlarmSettingsFlowTest, ATypedAlarmRingsAtItsSecondWithTheFirstPlayerFound) {
    WriteConfig("ALHEADER=Old\r\nALDATE=1/1/2099\r\nALTIME=7:00:00 AM\r\nPLAYER=CUSTOM\r\nCUSTOM=" + mpv.path() +
                "\r\nCHANGEALARM=No\r\nDELETEALARM=No\r\n");
    Start();
    std::time_t due = 0;
    std::string date, time;
    InAlarmSettings({[&] {
        auto* dialog = Shown<TForm2>();
        if (!dialog) return false;
        // Taken once the dialog is up: on a loaded machine opening it took seconds.
        due = std::time(nullptr) + 5;
        std::tie(date, time) = testing::LocalAlarmTextsAt(due);
        QTest::mouseClick(dialog->CheckBox6, Qt::LeftButton);
        dialog->Edit3->setText("Flow");
        dialog->Edit2->setText(QString::fromStdString(date));
        TypeTime(dialog->DateTimePicker1, due);
        dialog->Button4->click();  // "&Test Alarm": plays about a second later, dialog closed or not
        QTest::mouseClick(dialog->Button1, Qt::LeftButton);
        return true;
    }});

    const std::string config = ReadFileBytes(dir.File("TOLVENMARKCLOCK.INI"));
    EXPECT_NE(config.find("PLAYER=\r\n"), std::string::npos) << config;
    EXPECT_NE(config.find("ALTIME=" + time + "\r\n"), std::string::npos) << config;
    EXPECT_EQ(form->pendingAlarm.header, "Flow");

    // The test's sound and the alarm's, from the fallback player, nothing said.
    EXPECT_TRUE(QTest::qWaitFor([&] { return mpv.Calls().size() >= 2; }, 15000));
    EXPECT_LE(due, std::time(nullptr));
    for (const auto& call : mpv.Calls()) EXPECT_EQ(call.args, (std::vector<std::string>{"--", song}));
    EXPECT_EQ(prompts.shown, std::vector<std::string>{});
}

// A daily series, then a weekly one a little earlier in the day, both made
// with Set Schedule while a saved alarm years ahead is pending, then OK: the
// later line rings first, and its sound is stopped when the other one starts.
TEST_F(AlarmSettingsFlowTest, TwoSeriesRingInTimeOrderOneSoundAtATime) {
    const std::string far = "Far^1/1/2099^7:00:00 AM^\r\n";
    WriteFileBytes(dir.File("Alarms.txt"), far);
    WriteConfig("ALHEADER=Far\r\nALDATE=1/1/2099\r\nALTIME=7:00:00 AM\r\nPLAYER=\r\n"
                "CHANGEALARM=Yes\r\nDELETEALARM=Yes\r\n");
    Start();
    const std::time_t now = std::time(nullptr), gym = now + 5, pill = now + 8;
    auto series = [&](const char* header, std::time_t at, int interval) -> std::function<bool()> {
        return [=, this] {
            auto* schedule = Shown<TForm10>();
            if (!schedule) return false;
            schedule->Edit1->setText(header);
            schedule->Edit2->setText(QString::fromStdString(testing::LocalAlarmTextsAt(at).first));
            TypeTime(schedule->DateTimePicker1, at);
            schedule->RadioGroup1[interval]->click();  // daily for one day, or weekly on today for one week
            schedule->CheckBox[std::localtime(&at)->tm_wday]->setChecked(true);
            QTest::mouseClick(schedule->Button2, Qt::LeftButton);
            return true;
        };
    };
    // Set Schedule, or OK as the last step, in the alarm settings dialog once nothing covers it.
    auto press = [&](QPushButton* TForm2::*button) -> std::function<bool()> {
        return [=, this] {
            auto* dialog = Shown<TForm2>();
            if (dialog && !Shown<TForm10>()) QTimer::singleShot(0, dialog->*button, &QPushButton::click);
            return dialog && !Shown<TForm10>();
        };
    };
    InAlarmSettings({press(&TForm2::Button10), series("Pill", pill, 0), press(&TForm2::Button10),
                     series("Gym", gym, 1), press(&TForm2::Button1)});
    EXPECT_EQ(form->pendingAlarm.header, "Gym");

    ASSERT_TRUE(QTest::qWaitFor([&] { return mpv.Calls().size() >= 2; }, 20000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !testing::ProcessAlive(mpv.Calls()[0].pid); }));
    EXPECT_TRUE(form->PlayerRunning());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ReadFileBytes(dir.File("Alarms.txt")) == far; }))
        << ReadFileBytes(dir.File("Alarms.txt"));  // both rang, each once
    EXPECT_EQ(prompts.shown, std::vector<std::string>{});
}

// Test Alarm's sound ends by the Snooze bar, the notification's Stop and the
// alarm switch; the last switch, off, is still off after a restart.
TEST_F(AlarmSettingsFlowTest, TestAlarmSoundEndsEachWayAndTheSwitchOutlivesARestart) {
    WriteConfig("SNOOZE=Yes\r\nPLAYER=\r\nCHANGEALARM=No\r\nDELETEALARM=No\r\n");
    Start();
    const std::vector<std::function<void()>> silencers = {
        [&] { Click("SNOOZE"); }, [&] { form->Stop(); }, [&] { Click("AL_OFFON"); }};
    for (std::size_t i = 0; i < silencers.size(); ++i) {
        SCOPED_TRACE(i);
        InAlarmSettings({[&] {
            auto* dialog = Shown<TForm2>();
            if (!dialog) return false;
            dialog->Button4->click();
            QTest::mouseClick(dialog->Button2, Qt::LeftButton);
            return true;
        }});
        ASSERT_TRUE(QTest::qWaitFor([&] { return mpv.Calls().size() > i && form->PlayerRunning(); }, 10000));
        silencers[i]();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !testing::ProcessAlive(mpv.Calls()[i].pid); }));
        EXPECT_FALSE(form->PlayerRunning());
    }
    EXPECT_FALSE(form->AlarmOn());
    Start();
    EXPECT_FALSE(form->AlarmOn());
    EXPECT_NE(ReadFileBytes(dir.File("TOLVENMARKCLOCK.INI")).find("ALSET=FALSE\r\n"), std::string::npos);
    EXPECT_EQ(prompts.shown, std::vector<std::string>{});
}

}  // namespace
}  // namespace tolvenmark
