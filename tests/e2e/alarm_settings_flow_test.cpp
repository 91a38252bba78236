#include <algorithm>
#include <ctime>

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
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

// The whole program in this process: start-up, the main window with its
// permanent windows, AL_SETTINGS opening the real dialog, OK, and the tick
// ringing the alarm the user set.
TEST(AlarmSettingsFlowTest, ATextAlarmSetInTheDialogRingsAtItsSecond) {
    int argc = 1;
    char name[] = "tolvenmark-clock";
    char* argv[] = {name, nullptr};
    TApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TempDir dir;
    qputenv("TOLVENMARK_WINDIR", QByteArray::fromStdString(dir.path()));
    WriteFileBytes(dir.File("TOLVENMARKCLOCK.INI"),
                   "[ALARM]\r\nAPPPATH=" + dir.path() +
                       "\r\nVERSION=1.1\r\nALFORMAT=123\r\nALDATESEP=/\r\nSKIN=Default\r\nALSET=TRUE\r\n"
                       "ALHEADER=Old\r\nALDATE=1/1/2099\r\nALTIME=7:00:00 AM\r\nICONNECT=\r\n"
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

    // The user, once the dialog is up: a text message a few seconds ahead, then "&OK".
    const std::time_t due = std::time(nullptr) + 5;
    const auto [date, time] = testing::LocalAlarmTextsAt(due);
    std::tm tm{};
    localtime_r(&due, &tm);
    bool filledIn = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* dialog = form.findChild<TForm2*>();
        if (!dialog || !dialog->isVisible()) return;
        user.stop();
        dialog->ComboBox1->setCurrentIndex(MediaTypeIndex("Text Message"));
        dialog->ComboBox1Change();
        dialog->Edit1->setText("Rise and shine");
        dialog->Edit3->setText("Flow");
        dialog->Edit2->setText(QString::fromStdString(date));
        dialog->DateTimePicker1->setTime(QTime(tm.tm_hour, tm.tm_min, tm.tm_sec));
        filledIn = true;
        dialog->Button4->click();  // "&Test Alarm": rings about a second later, dialog closed or not
        dialog->Button1->click();
    });
    user.start(20);
    form.SkinForm1MouseUpNotify("AL_SETTINGS", Qt::LeftButton, {}, 0, 0);
    ASSERT_TRUE(filledIn) << "the alarm settings dialog did not open";

    const std::string config = ReadFileBytes(dir.File("TOLVENMARKCLOCK.INI"));
    EXPECT_NE(config.find("MTYPE=Text Message"), std::string::npos) << config;
    EXPECT_NE(config.find("ALTIME=" + time), std::string::npos) << config;
    EXPECT_EQ(form.pendingAlarm.header, "Flow");

    EXPECT_TRUE(QTest::qWaitFor([&] { return prompts.shown.size() >= 2; }, 15000));
    QTest::qWait(1200);  // the test's box and the alarm's, nothing else said
    EXPECT_EQ(prompts.shown,
              (std::vector<std::string>{"Tolvenmark Clock: Rise and shine", "Tolvenmark Clock: Rise and shine"}));

    SetAppClock(nullptr);
    SetAppRegionalSettings(nullptr);
    qunsetenv("TOLVENMARK_WINDIR");
}

}  // namespace
}  // namespace tolvenmark
