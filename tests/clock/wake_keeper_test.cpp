#include "clock/wake_keeper.h"

#include <ctime>
#include <map>

#include <QProcess>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "clock/main_window.h"
#include "support/app_seams.h"
#include "support/gui_app.h"
#include "support/recording_script.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

class WakeKeeperTest : public ::testing::Test {
protected:
    bool appReady = (testing::EnsureGuiApplication(), true);
    FixedClock clock{DateTime{2026, 12, 7, 7, 0, 0, 0}};
    RegionalSettings settings;
    testing::ScriptedPrompts prompts;
    testing::ScopedAppSeams seams{clock, settings, prompts};
    testing::TempDir dir;
    TForm1 form;  // not started: its tick stands still until something runs it
};

// python3-dbusmock's logind, on a private bus as on the system bus. Only its
// signals count, and a burst of them runs the tick once; going to sleep
// arms the helper for the pending alarm although no tick ran.
TEST_F(WakeKeeperTest, OnlyLogindDrivesTheTickAndArmsTheHelperBeforeSleep) {
    if (QProcess::execute(kPython, {"-c", "import dbusmock"}) != 0)
        GTEST_SKIP() << "python3-dbusmock is not installed: the resume signal is not tested";
    QProcess daemon, logind;
    daemon.start("dbus-daemon", {"--session", "--print-address", "--nofork"});
    ASSERT_TRUE(daemon.waitForStarted() && daemon.waitForReadyRead(5000)) << "dbus-daemon is missing";
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    logind.start("env", {"DBUS_SYSTEM_BUS_ADDRESS=" + address, kPython, "-m", "dbusmock", "--system", "--template", "logind"});
    auto python = [&](const std::string& script) {
        return QProcess::execute(kPython, {"-c", QString::fromStdString("import dbus, sys\nbus = dbus.bus.BusConnection(sys.argv[1])\n" + script), address}) == 0;
    };
    auto prepareForSleep = [&](bool sleeping, int times) {
        return python("login1 = bus.get_object('org.freedesktop.login1', '/org/freedesktop/login1')\nfor i in range(" +
                      std::to_string(times) + "):\n    login1.EmitSignal('org.freedesktop.login1.Manager', 'PrepareForSleep', 'b', [" +
                      (sleeping ? "True" : "False") + "], dbus_interface='org.freedesktop.DBus.Mock')");
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return python("bus.get_object('org.freedesktop.login1', '/org/freedesktop/login1').ListSessions("
                                                    "dbus_interface='org.freedesktop.login1.Manager')"); }, 10000));

    const std::string armed = dir.File("armed");
    testing::RecordingScript helper(dir.path(), "wake.sh", "exec cat > '" + armed + "'");
    int ticks = 0;
    form.TickHook = [&] { ++ticks, form.Timer1->stop(); };  // only the ticks the signals run
    form.pendingAlarm = {"Wake", "1/1/2099", "7:00:00 AM"};
    form.AlarmOnFlag = true;
    WakeKeeper keeper(form, QString::fromStdString(helper.path()), QDBusConnection::connectToBus(address, "wake-test"));

    // Another connection sends logind's signal: nothing runs.
    ASSERT_TRUE(python("for i in range(100):\n    m = dbus.lowlevel.SignalMessage('/org/freedesktop/login1', "
                       "'org.freedesktop.login1.Manager', 'PrepareForSleep')\n    m.append(False, signature='b')\n"
                       "    bus.send_message(m)\nbus.flush()"));
    QTest::qWait(500);
    EXPECT_EQ(ticks, 0);
    ASSERT_TRUE(prepareForSleep(false, 20));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks > 0; }, 10000));
    QTest::qWait(500);
    EXPECT_EQ(ticks, 1);

    ASSERT_TRUE(prepareForSleep(true, 1));
    std::tm minuteBefore{0, 59, 6, 1, 0, 199, 0, 0, -1};
    const std::string wake = std::to_string(std::mktime(&minuteBefore)) + "\n";
    EXPECT_TRUE(QTest::qWaitFor([&] { return testing::ReadFileBytes(armed) == wake; }, 10000))
        << testing::ReadFileBytes(armed) << " wanted " << wake;
    for (QProcess* p : {&logind, &daemon}) p->kill(), p->waitForFinished();
}

// The snooze timer counts time awake only; the boot clock, which runs in
// sleep, says what is left, and the round after a short one is whole again.
TEST_F(WakeKeeperTest, ASnoozeAfterASleepIsTakenFromTheBootClock) {
    std::map<clockid_t, std::int64_t> now{{CLOCK_MONOTONIC, 1000000}, {CLOCK_BOOTTIME, 2000000}, {CLOCK_REALTIME, 0}};
    WakeKeeper keeper(form, "");
    keeper.clockMs = [&](clockid_t id) { return now[id]; };
    form.Timer2->start(3000);
    keeper.Sync();
    now[CLOCK_BOOTTIME] += 2600;  // asleep; the monotonic clock stood still
    keeper.Sync();
    EXPECT_LT(form.Timer2->remainingTime(), 1000);  // about 400 ms, not 3 s
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.Timer2->interval() == 3000; }, 5000));
    EXPECT_TRUE(form.Timer2->isActive());
}

}  // namespace
}  // namespace tolvenmark
