#include <sstream>

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/permanent_windows.h"
#include "clock/main_window.h"
#include "clock/startup_load.h"
#include "platform/clock.h"
#include "platform/regional_settings.h"
#include "setup/alarm_settings.h"
#include "setup/internet_setup.h"
#include "support/mock_network_manager.h"
#include "support/program_run.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

// "&Internet Connection Setup" from the alarm settings, then a click on
// "&Set As Default" that goes through the window system, where a modal
// dialog discards what it does not let through.
TEST(DialUpTest, InternetDialogTakesInputBesideTheAlarmSettings) {
    int argc = 1;
    char name[] = "tolvenmark-clock";
    char* argv[] = {name, nullptr};
    TApplication app(argc, argv);
    testing::TempDir dir;
    qputenv("TOLVENMARK_WINDIR", QByteArray::fromStdString(dir.path()));
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    testing::WriteFileBytes(dir.File("TOLVENMARKCLOCK.INI"), "[ALARM]\nAPPPATH=" + dir.path() +
                                                                 "\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\n"
                                                                 "SKIN=Default\nICONNECT=My ISP\n");
    testing::ScriptedPrompts prompts;
    testing::ScopedAppPrompts scoped(prompts);
    SystemClock clock;
    RegionalSettings settings;
    SetAppClock(&clock);
    SetAppRegionalSettings(&settings);
    const StartupOutcome start = RunStartup(clock, settings, prompts);
    ASSERT_TRUE(start.proceed);
    TForm1 form;
    form.FormCreate(start.config, start.pending);
    PermanentWindows windows;
    CreatePermanentWindows(form, windows);
    form.show();

    TForm8& internet = *windows.form8;
    int step = 0;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* dialog = form.findChild<TForm2*>();
        if (!dialog || !dialog->isVisible()) return;
        if (step == 0) {
            dialog->Button9->click();
            step = internet.isVisible() ? 1 : 0;
        } else if (step == 1 && internet.windowHandle()) {
            internet.ListBox1->setCurrentRow(internet.ListBox1->count() - 1);  // the LAN
            const QPoint at = internet.Button4->mapTo(&internet, internet.Button4->rect().center());
            QTest::mouseClick(internet.windowHandle(), Qt::LeftButton, {}, at);
            step = 2;
            dialog->Button2->click();
        }
    });
    user.start(20);
    form.SkinForm1MouseUpNotify("AL_SETTINGS", Qt::LeftButton, {}, 0, 0);
    ASSERT_EQ(step, 2) << "the internet dialog did not open";
    const std::string config = testing::ReadFileBytes(dir.File("TOLVENMARKCLOCK.INI"));
    EXPECT_NE(config.find("ICONNECT=Local Area Network (LAN)"), std::string::npos) << config;

    SetAppClock(nullptr);
    SetAppRegionalSettings(nullptr);
    qunsetenv("TOLVENMARK_WINDIR");
    qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

enum class Fault { Hung, Slow };  // stopped, or answering each call 2 s late

class HungNetworkManagerTest : public ::testing::TestWithParam<Fault> {};

// The real program beside a NetworkManager that does not answer, with the
// internet dialog open: it draws, answers and ticks as if none were there.
TEST_P(HungNetworkManagerTest, ClockNeverWaitsForIt) {
    if (!testing::MockNetworkManager::Installed()) GTEST_SKIP() << "python3-dbusmock is not installed";
    testing::MockNetworkManager nm;
    ASSERT_TRUE(nm.Ready());
    GetParam() == Fault::Hung ? nm.Hang() : nm.AnswerSlowly();
    testing::TempDir dir, runtime;
    testing::WriteFileBytes(dir.File("TOLVENMARKCLOCK.INI"),
                   "[ALARM]\nAPPPATH=" + dir.path() + "\nSKIN=Default\nICONNECT=My ISP\n");
    const std::map<std::string, std::string> env{{"TOLVENMARK_WINDIR", dir.path()},
                                                 {"XDG_RUNTIME_DIR", runtime.path()},
                                                 {"DBUS_SYSTEM_BUS_ADDRESS", nm.Address()},
                                                 {"TOLVENMARK_REPORT_FIRST_FRAME", "1"},
                                                 {"TOLVENMARK_REPORT_TICKS", "1"},
                                                 {"TOLVENMARK_OPEN_AT_START", "internet"}};
    testing::RunningClock clock({}, env);
    EXPECT_TRUE(clock.WaitForError("first-frame-ns", 3000)) << clock.Error();

    const auto status = testing::RunClock({"--status"}, env, 1000);
    EXPECT_EQ(status.exitCode, 0) << status.err;

    // Every tick starts 2 ms after its second; one the clock held back starts later.
    auto ticks = [&] {
        std::vector<long long> starts;
        std::istringstream lines(clock.Error());
        for (std::string word; lines >> word;)
            if (word == "tick-ns" && lines >> word) starts.push_back(std::stoll(word));
        return starts;
    };
    // No event loop runs here: waiting for text that never comes reads what the clock writes.
    for (int i = 0; i < 200 && ticks().size() < 8 && clock.Running(); ++i) clock.WaitForError("\n\n\n", 100);
    ASSERT_GE(ticks().size(), 8u) << clock.Error();
    int late = 0;
    for (long long ns : ticks()) late += ns % 1000000000 > 52000000;
    EXPECT_EQ(late, 0) << clock.Error();
}

INSTANTIATE_TEST_SUITE_P(Faults, HungNetworkManagerTest, ::testing::Values(Fault::Hung, Fault::Slow));

}  // namespace
}  // namespace tolvenmark
