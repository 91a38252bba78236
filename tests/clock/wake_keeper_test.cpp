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

// logind from python3-dbusmock on a private bus, as the system bus would have it.
class MockLogind : public ::testing::Test {
protected:
    void SetUp() override {
        if (QProcess::execute(kPython, {"-c", "import dbusmock"}) != 0)
            GTEST_SKIP() << "python3-dbusmock is not installed: the resume signal is not tested";
        daemon_.start("dbus-daemon", {"--session", "--print-address", "--nofork"});
        ASSERT_TRUE(daemon_.waitForStarted()) << "dbus-daemon is missing";
        ASSERT_TRUE(daemon_.waitForReadyRead(5000));
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SYSTEM_BUS_ADDRESS", address_);
        mock_.setProcessEnvironment(env);
        mock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        mock_.start(kPython, {"-m", "dbusmock", "--system", "--template", "logind"});
        ASSERT_TRUE(mock_.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor([&] { return Python("manager.ListSessions()"); }, 10000));
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus("wake-test");
        for (QProcess* p : {&mock_, &daemon_}) {
            p->kill();
            p->waitForFinished();
        }
    }
    QDBusConnection Bus() { return QDBusConnection::connectToBus(address_, "wake-test"); }
    bool Python(const std::string& snippet) {
        const std::string script =
            "import dbus, sys\n"
            "login1 = dbus.bus.BusConnection(sys.argv[1]).get_object('org.freedesktop.login1', '/org/freedesktop/login1')\n"
            "manager = dbus.Interface(login1, 'org.freedesktop.login1.Manager')\n"
            "mock = dbus.Interface(login1, 'org.freedesktop.DBus.Mock')\n" + snippet;
        return QProcess::execute(kPython, {"-c", QString::fromStdString(script), address_}) == 0;
    }

private:
    QString address_;
    QProcess daemon_;
    QProcess mock_;
};

TEST_F(MockLogind, WakingFromSleepRunsTheTickAtOnce) {
    testing::EnsureGuiApplication();
    FixedClock clock{DateTime{2026, 12, 7, 7, 0, 0, 0}};
    RegionalSettings settings;
    testing::ScriptedPrompts prompts;
    testing::ScopedAppSeams seams{clock, settings, prompts};
    TForm1 form;  // not started: its tick stands still until something runs it
    WakeKeeper keeper(form, "", Bus());
    ASSERT_TRUE(form.ClockMode.empty());

    ASSERT_TRUE(Python("mock.EmitSignal('org.freedesktop.login1.Manager', 'PrepareForSleep', 'b', [False])"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.ClockMode.empty(); }, 10000));
    EXPECT_TRUE(keeper.Unavailable());  // no helper
}

}  // namespace
}  // namespace tolvenmark
