#include <csignal>
#include <functional>
#include <sstream>

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMessageBox>

#include "clock/config.h"
#include "clock/desktop_notice.h"
#include "clock/main_window.h"
#include "support/app_seams.h"
#include "support/gui_app.h"
#include "support/scripted_prompts.h"
#include "support/alarm_env.h"
#include "support/program_run.h"
#include "support/recording_script.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;

bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 15000) QThread::msleep(50);
    return done();
}

// A private session bus with python3-dbusmock's notification daemon, which logs every call.
struct MockNotifications {
    explicit MockNotifications(const std::string& log) : log(log) {
        bus.start("dbus-daemon", {"--session", "--print-address", "--nofork"});
        if (!bus.waitForReadyRead(5000)) return;
        address = bus.readLine().trimmed().toStdString();
        mock.start("env", {QString::fromStdString("DBUS_SESSION_BUS_ADDRESS=" + address), "/usr/bin/python3", "-m",
                           "dbusmock", "--session", "--template", "notification_daemon", "-l",
                           QString::fromStdString(log)});
        if (!WaitFor([&] { return Call("GetServerInformation()"); })) address.clear();
    }
    ~MockNotifications() {
        for (QProcess* p : {&mock, &bus}) {
            p->kill();
            p->waitForFinished();
        }
    }
    bool Call(const std::string& call) const {
        return QProcess::execute("/usr/bin/python3", {"-c", QString::fromStdString(
            "import dbus, sys\nbus = dbus.bus.BusConnection(sys.argv[1])\n"
            "bus.get_object('org.freedesktop.Notifications', '/org/freedesktop/Notifications')." + call),
            QString::fromStdString(address)}) == 0;
    }
    bool Logged(const std::string& text) const {
        return WaitFor([&] { return ReadFileBytes(log).find(text) != std::string::npos; });
    }
    std::string log, address;
    QProcess bus, mock;
};

// A day on a desktop that shows notifications, with a launcher script for a
// player: it hands the playing to a helper that ignores SIGTERM, and exits.
TEST(RingingDayTest, NotifiedSnoozedSwitchedOffEndedByItselfAndAMessageNotSent) {
    testing::TempDir dir;
    MockNotifications server(dir.File("notifications.log"));
    if (server.address.empty()) GTEST_SKIP() << "dbus-daemon or python3-dbusmock is missing";
    const std::string helpers = dir.File("helpers");
    testing::RecordingScript player(dir.path(), "player.sh",
                                    "(trap '' TERM; exec sleep 60) & echo $! >> '" + helpers + "'");
    auto env = testing::ClockEnv(dir);
    env["DBUS_SESSION_BUS_ADDRESS"] = server.address;
    auto ctl = [&](const std::vector<std::string>& args) { return testing::RunClock(args, env, 20000); };
    auto status = [&](const std::string& text) {
        return WaitFor([&] { return ctl({"--status"}).out.find(text) != std::string::npos; });
    };
    auto helper = [&](int ring) {  // the helper's id of that ring
        pid_t pid = 0;
        EXPECT_TRUE(WaitFor([&] {
            std::istringstream in(ReadFileBytes(helpers));
            for (int i = 0; i < ring; ++i) in >> pid;
            return bool(in);
        }));
        return pid;
    };
    auto gone = [](pid_t pid) { return WaitFor([pid] { return !testing::ProcessAlive(pid); }); };
    auto [date, time] = testing::LocalAlarmTexts(6);
    SetConfigPath(dir.File("TOLVENMARKCLOCK.INI"));
    testing::WriteFileBytes(ConfigPath(), "[ALARM]\nAPPPATH=" + dir.path() + "\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\n"
                                          "ALSET=TRUE\nALHEADER=Wake\nALDATE=" + date + "\nALTIME=" + time +
                                          "\nMTYPE=CD Audio\nALFILE=cda://D,1\nPLAYER=CUSTOM\nCUSTOM=" + player.path() +
                                          "\nSNOOZE=Yes\nCHANGEALARM=No\n");
    testing::RunningClock clock({}, env);

    // It rings: the notification names the alarm, the helper counts as the player.
    ASSERT_TRUE(server.Logged("\"Wake\n" + date + " at " + time + "\" [\"snooze\", \"Snooze\", \"stop\", \"Stop\"]"))
        << ReadFileBytes(server.log) << clock.Error();
    EXPECT_TRUE(status("player=running\n"));
    // "Snooze" on the notification silences the helper and withdraws it.
    const pid_t first = helper(1);
    // Another notification's "Stop" (another program's) does nothing.
    ASSERT_TRUE(server.Call("EmitSignal('org.freedesktop.Notifications', 'ActionInvoked', 'us', [dbus.UInt32(7), "
                            "'stop'], dbus_interface='org.freedesktop.DBus.Mock')"));
    EXPECT_TRUE(status("player=running\n"));
    ASSERT_TRUE(server.Call("EmitSignal('org.freedesktop.Notifications', 'ActionInvoked', 'us', [dbus.UInt32(1), "
                            "'snooze'], dbus_interface='org.freedesktop.DBus.Mock')"));
    EXPECT_TRUE(gone(first));
    EXPECT_TRUE(status("player=stopped\n"));
    EXPECT_TRUE(server.Logged("CloseNotification 1"));

    // The next ring stops when the alarm is switched off.
    std::tie(date, time) = testing::LocalAlarmTexts(6);
    EXPECT_EQ(ctl({"--set-alarm", date, time}).exitCode, 0);
    const pid_t second = helper(2);
    ASSERT_TRUE(server.Logged(" at " + time + "\" [\"snooze\""));
    EXPECT_EQ(ctl({"--alarm-off"}).exitCode, 0);
    EXPECT_TRUE(gone(second));
    EXPECT_TRUE(status("alarm=off\nplayer=stopped\n"));
    EXPECT_TRUE(server.Logged("CloseNotification 2"));

    // A player that ends by itself: stopped, its notification gone, nothing to snooze.
    testing::RecordingScript brief(dir.path(), "brief.sh", "sleep 0.5");
    WriteConfigKey("CUSTOM", brief.path());
    std::tie(date, time) = testing::LocalAlarmTexts(6);
    EXPECT_EQ(ctl({"--set-alarm", date, time}).exitCode, 0);
    ASSERT_TRUE(brief.WaitForCalls(1, 15000)) << clock.Error();
    EXPECT_TRUE(status("player=stopped\n"));
    EXPECT_TRUE(server.Logged("CloseNotification 3"));
    const auto snooze = ctl({"--snooze"});
    EXPECT_EQ(snooze.exitCode, 1);
    EXPECT_NE(snooze.err.find("No alarm was started to Snooze!"), std::string::npos) << snooze.err;

    // A network message whose program is not there says so.
    WriteConfigKey("MTYPE", "Network Message");
    WriteConfigKey("ALFILE", dir.File("no-net") + " send BOX up");
    std::tie(date, time) = testing::LocalAlarmTexts(6);
    EXPECT_EQ(ctl({"--set-alarm", date, time}).exitCode, 0);
    EXPECT_TRUE(clock.WaitForError("Warning: The alarm could not be started.", 15000)) << clock.Error();
    EXPECT_EQ(clock.Error().find("Network message sent."), std::string::npos);
}

// A missed alarm goes through the desktop's notification service; the
// balloon (here the box of a desktop without a tray) is for desktops without one.
TEST(RingingDayTest, AMissedAlarmIsToldThroughTheNotificationService) {
    testing::EnsureGuiApplication();
    testing::TempDir dir;
    MockNotifications server(dir.File("notifications.log"));
    if (server.address.empty()) GTEST_SKIP() << "dbus-daemon or python3-dbusmock is missing";
    FixedClock now{DateTime{2026, 12, 7, 12, 0, 0, 0}};
    RegionalSettings settings;
    testing::ScriptedPrompts prompts;
    testing::ScopedAppSeams seams{now, settings, prompts};
    SetConfigPath(dir.File("TOLVENMARKCLOCK.INI"));
    testing::WriteFileBytes(ConfigPath(), "[ALARM]\nAPPPATH=" + dir.path() + "\n");
    TForm1 form;
    form.TrayAvailable = [] { return false; };
    DesktopNotice notice;
    notice.Attach(QDBusConnection::connectToBus(QString::fromStdString(server.address), "missed-test"));
    form.DesktopNotifyHook = [&](const std::string& text) { return notice.Show("Tolvenmark Clock", text); };
    ASSERT_TRUE(WaitFor([&] { return QCoreApplication::processEvents(), notice.Available(); }));
    StartupConfig config;
    config.appPath = dir.path();
    config.alSet = "TRUE";
    form.FormCreate(config, {"Wake", "12/7/2026", "12:00:05 PM"});
    now.Set({2026, 12, 7, 12, 20, 0, 0});
    form.Timer1Timer();
    EXPECT_TRUE(server.Logged("Missed alarm: Wake (12/7/2026 at 12:00:05 PM)")) << ReadFileBytes(server.log);
    EXPECT_TRUE(form.findChildren<QMessageBox*>().isEmpty());
}

// A clock started beside a stopped system bus daemon and a stopped notification
// server (its name on the session bus never answers): it shows itself, rings,
// and once the server answers again the ringing is withdrawn as soon as the
// server names it, although it answers past the bus library's 25 s wait.
TEST(RingingDayTest, HungBusesHoldUpNeitherTheStartNorTheAlarmNorLeaveANotice) {
    testing::TempDir dir;
    MockNotifications server(dir.File("notifications.log"));
    if (server.address.empty()) GTEST_SKIP() << "dbus-daemon or python3-dbusmock is missing";
    QProcess system;
    system.start("dbus-daemon", {"--session", "--print-address", "--nofork"});
    ASSERT_TRUE(system.waitForReadyRead(5000));
    auto env = testing::ClockEnv(dir);
    env["DBUS_SYSTEM_BUS_ADDRESS"] = system.readLine().trimmed().toStdString();
    env["DBUS_SESSION_BUS_ADDRESS"] = server.address;
    env["TOLVENMARK_REPORT_FIRST_FRAME"] = "1";
    testing::RecordingScript player(dir.path(), "player.sh", "sleep 1");
    auto [date, time] = testing::LocalAlarmTexts(4);
    testing::WriteFileBytes(dir.File("TOLVENMARKCLOCK.INI"),
                            "[ALARM]\nAPPPATH=" + dir.path() + "\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\nALSET=TRUE\n"
                            "ALHEADER=Wake\nALDATE=" + date + "\nALTIME=" + time + "\nMTYPE=Other File Format\n"
                            "ALFILE=song.ogg\nPLAYER=CUSTOM\nCUSTOM=" + player.path() + "\nSNOOZE=No\n");
    ::kill(static_cast<pid_t>(system.processId()), SIGSTOP);
    ::kill(static_cast<pid_t>(server.mock.processId()), SIGSTOP);
    testing::RunningClock clock({}, env);
    EXPECT_TRUE(clock.WaitForError("first-frame-ns", 15000)) << clock.Error();
    ::kill(static_cast<pid_t>(server.mock.processId()), SIGCONT);
    EXPECT_TRUE(player.WaitForCalls(1, 15000)) << clock.Error();
    ::kill(static_cast<pid_t>(system.processId()), SIGCONT);

    // The player ends by itself, which withdraws its notification; the next
    // one ends while the server hangs, before it answers.
    ASSERT_TRUE(server.Logged("CloseNotification 1")) << ReadFileBytes(server.log) << clock.Error();
    ::kill(static_cast<pid_t>(server.mock.processId()), SIGSTOP);
    std::tie(date, time) = testing::LocalAlarmTexts(3);
    ASSERT_EQ(testing::RunClock({"--set-alarm", date, time}, env).exitCode, 0);
    ASSERT_TRUE(player.WaitForCalls(2, 15000)) << clock.Error();
    QThread::sleep(27);
    ::kill(static_cast<pid_t>(server.mock.processId()), SIGCONT);
    EXPECT_TRUE(server.Logged("CloseNotification 2")) << ReadFileBytes(server.log) << clock.Error();
    system.kill();
    system.waitForFinished();
}

}  // namespace
}  // namespace tolvenmark
