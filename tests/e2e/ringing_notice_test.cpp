#include <functional>
#include <sstream>

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include "clock/config.h"
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

}  // namespace
}  // namespace tolvenmark
