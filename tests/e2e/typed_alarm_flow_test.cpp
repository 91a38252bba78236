#include <cstdlib>
#include <ctime>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/permanent_windows.h"
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

// A user of a 12-hour clock opens Alarm Settings, unticks the one ticked
// player, selects the whole time and types it in 24-hour form, and presses
// OK: the alarm rings at that second with the first player found.
TEST(TypedAlarmFlowTest, ATypedTimeRingsWithTheFirstPlayerFound) {
    int argc = 1;
    char name[] = "tolvenmark-clock";
    char* argv[] = {name, nullptr};
    TApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TempDir dir;
    RecordingScript mpv(dir.path(), "mpv"), custom(dir.path(), "custom");
    const std::string path = std::getenv("PATH");
    setenv("PATH", (dir.path() + ":" + path).c_str(), 1);
    const std::string song = dir.File("chime.ogg");
    WriteFileBytes(song, "OggS");
    qputenv("TOLVENMARK_WINDIR", QByteArray::fromStdString(dir.path()));
    WriteFileBytes(dir.File("TOLVENMARKCLOCK.INI"),
                   "[ALARM]\r\nAPPPATH=" + dir.path() +
                       "\r\nVERSION=1.1\r\nALFORMAT=123\r\nALDATESEP=/\r\nSKIN=Default\r\nALSET=TRUE\r\n"
                       "ALHEADER=Old\r\nALDATE=1/1/2099\r\nALTIME=7:00:00 AM\r\nICONNECT=\r\n"
                       "PLAYER=CUSTOM\r\nCUSTOM=" + custom.path() + "\r\nMTYPE=MP3\r\nALFILE=" + song +
                       "\r\nCHANGEALARM=No\r\nDELETEALARM=No\r\n");

    testing::ScriptedPrompts prompts;
    testing::ScopedAppPrompts scoped(prompts);
    SystemClock clock;
    RegionalSettings settings;  // M/d/yyyy, h:mm:ss AMPM
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

    const auto [date, time] = testing::LocalAlarmTexts(6);
    const std::time_t due = std::time(nullptr) + 6;
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
        dialog->Edit3->setText("Typed");
        dialog->Edit2->setText(QString::fromStdString(date));
        QTest::mouseClick(dialog->DateTimePicker1, Qt::LeftButton);
        QTest::keyClick(dialog->DateTimePicker1, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(dialog->DateTimePicker1, typed);
        filledIn = true;
        QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    });
    user.start(20);
    form.SkinForm1MouseUpNotify("AL_SETTINGS", Qt::LeftButton, {}, 0, 0);
    ASSERT_TRUE(filledIn) << "the alarm settings dialog did not open";

    const std::string config = ReadFileBytes(dir.File("TOLVENMARKCLOCK.INI"));
    EXPECT_NE(config.find("ALTIME=" + time + "\r\n"), std::string::npos) << config;
    EXPECT_NE(config.find("PLAYER=\r\n"), std::string::npos) << config;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !mpv.Calls().empty(); }, 15000));
    if (!mpv.Calls().empty()) EXPECT_THAT(mpv.Calls()[0].args, ::testing::ElementsAre("--", song));
    EXPECT_LE(due, std::time(nullptr)) << "rang before the typed second";
    EXPECT_TRUE(custom.Calls().empty());
    EXPECT_TRUE(prompts.shown.empty()) << prompts.shown.front();

    setenv("PATH", path.c_str(), 1);
    SetAppClock(nullptr);
    SetAppRegionalSettings(nullptr);
    qunsetenv("TOLVENMARK_WINDIR");
}

}  // namespace
}  // namespace tolvenmark
