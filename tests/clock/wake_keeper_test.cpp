#include "clock/wake_keeper.h"

#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include "clock/main_window.h"
#include "support/app_seams.h"
#include "support/gui_app.h"
#include "support/scripted_prompts.h"

namespace tolvenmark {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

// python3-dbusmock's logind, on a private bus as on the system bus, says the machine woke.
TEST(WakeKeeperTest, WakingFromSleepRunsTheTickAtOnce) {
    testing::EnsureGuiApplication();
    if (QProcess::execute(kPython, {"-c", "import dbusmock"}) != 0)
        GTEST_SKIP() << "python3-dbusmock is not installed: the resume signal is not tested";
    QProcess daemon, logind;
    daemon.start("dbus-daemon", {"--session", "--print-address", "--nofork"});
    ASSERT_TRUE(daemon.waitForStarted() && daemon.waitForReadyRead(5000)) << "dbus-daemon is missing";
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SYSTEM_BUS_ADDRESS", address);
    logind.setProcessEnvironment(env);
    logind.start(kPython, {"-m", "dbusmock", "--system", "--template", "logind"});
    auto call = [&](const std::string& method) {
        const std::string script = "import dbus, sys\nlogin1 = dbus.bus.BusConnection(sys.argv[1]).get_object("
                                   "'org.freedesktop.login1', '/org/freedesktop/login1')\nlogin1." + method;
        return QProcess::execute(kPython, {"-c", QString::fromStdString(script), address}) == 0;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return call("ListSessions(dbus_interface='org.freedesktop.login1.Manager')"); }, 10000));

    FixedClock clock{DateTime{2026, 12, 7, 7, 0, 0, 0}};
    RegionalSettings settings;
    testing::ScriptedPrompts prompts;
    testing::ScopedAppSeams seams{clock, settings, prompts};
    TForm1 form;  // not started: its tick stands still until something runs it
    WakeKeeper keeper(form, "", QDBusConnection::connectToBus(address, "wake-test"));
    ASSERT_TRUE(form.ClockMode.empty());
    ASSERT_TRUE(call("EmitSignal('org.freedesktop.login1.Manager', 'PrepareForSleep', 'b', [False], "
                     "dbus_interface='org.freedesktop.DBus.Mock')"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.ClockMode.empty(); }, 10000));
    for (QProcess* p : {&logind, &daemon}) p->kill(), p->waitForFinished();
}

}  // namespace
}  // namespace tolvenmark
