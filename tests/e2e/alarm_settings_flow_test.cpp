#include <algorithm>
#include <cstdlib>
#include <ctime>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/permanent_windows.h"
#include "clock/config.h"
#include "clock/main_window.h"
#include "clock/startup_load.h"
#include "platform/clock.h"
#include "platform/regional_settings.h"
#include "setup/alarm_settings.h"
#include "setup/media_types.h"
#include "support/alarm_env.h"
#include "support/recording_script.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::RecordingScript;
using testing::TempDir;
using testing::WriteFileBytes;

// The whole program in this process: start-up, the main window with its
// permanent windows, AL_SETTINGS opening the real dialog, the user unticking
// the one player and typing the time over the whole picker in 24-hour form
// on a 12-hour clock, OK, and the tick ringing at that second with the first
// player found.
TEST(AlarmSettingsFlowTest, ATypedAlarmRingsAtItsSecondWithTheFirstPlayerFound) {
    int argc = 1;
    char name[] = "tolvenmark-clock";
    char* argv[] = {name, nullptr};
    TApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TempDir dir;
    RecordingScript mpv(dir.path(), "mpv");
    const std::string path = std::getenv("PATH"), song = dir.File("chime.ogg");
    setenv("PATH", (dir.path() + ":" + path).c_str(), 1);
    WriteFileBytes(song, "OggS");
    qputenv("TOLVENMARK_WINDIR", QByteArray::fromStdString(dir.path()));
    WriteFileBytes(dir.File("TOLVENMARKCLOCK.INI"),
                   "[ALARM]\r\nAPPPATH=" + dir.path() +
                       "\r\nVERSION=1.1\r\nALFORMAT=123\r\nALDATESEP=/\r\nSKIN=Default\r\nALSET=TRUE\r\n"
                       "ALHEADER=Old\r\nALDATE=1/1/2099\r\nALTIME=7:00:00 AM\r\nICONNECT=\r\nPLAYER=CUSTOM\r\n"
                       "CUSTOM=" + mpv.path() + "\r\nMTYPE=MP3\r\nALFILE=" + song + "\r\n"
                       "CHANGEALARM=No\r\nDELETEALARM=No\r\n");

    testing::ScriptedPrompts prompts;
    testing::ScopedAppPrompts scoped(prompts);
    SystemClock clock;
    RegionalSettings settings;  // M/d/yyyy, h:mm:ss AMPM, as LocalAlarmTexts writes them
    SetAppClock(&clock);
    SetAppRegionalSettings(&settings);
    const StartupOutcome start = RunStartup(clock, settings, prompts);
    ASSERT_TRUE(start.proceed);

    TForm1 form;
    form.TrayAvailable = [] { return false; };
    form.FormCreate(start.config, start.pending);
    PermanentWindows windows;
    CreatePermanentWindows(form, windows);
    form.show();

    const std::time_t due = std::time(nullptr) + 5;
    const auto [date, time] = testing::LocalAlarmTextsAt(due);
    std::tm tm{};
    localtime_r(&due, &tm);
    char typed[16];
    std::strftime(typed, sizeof typed, "%H:%M:%S", &tm);
    bool filledIn = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* dialog = form.findChild<TForm2*>();
        if (!dialog || !dialog->isVisible()) return;
        user.stop();
        QTest::mouseClick(dialog->CheckBox6, Qt::LeftButton);
        dialog->Edit3->setText("Flow");
        dialog->Edit2->setText(QString::fromStdString(date));
        QTest::mouseClick(dialog->DateTimePicker1, Qt::LeftButton);
        QTest::keyClick(dialog->DateTimePicker1, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(dialog->DateTimePicker1, typed);
        filledIn = true;
        dialog->Button4->click();  // "&Test Alarm": plays about a second later, dialog closed or not
        QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    });
    user.start(20);
    form.SkinForm1MouseUpNotify("AL_SETTINGS", Qt::LeftButton, {}, 0, 0);
    ASSERT_TRUE(filledIn) << "the alarm settings dialog did not open";

    const std::string config = ReadFileBytes(dir.File("TOLVENMARKCLOCK.INI"));
    EXPECT_NE(config.find("PLAYER=\r\n"), std::string::npos) << config;
    EXPECT_NE(config.find("ALTIME=" + time + "\r\n"), std::string::npos) << config;
    EXPECT_EQ(form.pendingAlarm.header, "Flow");

    // The test's sound and the alarm's, from the fallback player, nothing said.
    EXPECT_TRUE(QTest::qWaitFor([&] { return mpv.Calls().size() >= 2; }, 15000));
    EXPECT_LE(due, std::time(nullptr));
    for (const auto& call : mpv.Calls()) EXPECT_EQ(call.args, (std::vector<std::string>{"--", song}));
    EXPECT_EQ(prompts.shown, std::vector<std::string>{});
    setenv("PATH", path.c_str(), 1);

    SetAppClock(nullptr);
    SetAppRegionalSettings(nullptr);
    qunsetenv("TOLVENMARK_WINDIR");
}

}  // namespace
}  // namespace tolvenmark
