#include "support/mock_notifications.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "support/temp_dir.h"

namespace tolvenmark::testing {

namespace {

constexpr const char* kPython = "/usr/bin/python3";

// One call on the mock's object, from python's own bus library.
bool Python(const std::string& call, const std::string& address) {
    const std::string code = "import dbus, sys\n"
                             "bus = dbus.bus.BusConnection(sys.argv[1])\n"
                             "mock = bus.get_object('org.freedesktop.Notifications', '/org/freedesktop/Notifications')\n" +
                             call + "\n";
    return QProcess::execute(kPython, {"-c", QString::fromStdString(code), QString::fromStdString(address)}) == 0;
}

}  // namespace

MockNotifications::MockNotifications(const std::string& folder, bool withServer) : log_(folder + "/notifications.log") {
    if (QProcess::execute(kPython, {"-c", "import dbusmock"}) != 0) return;
    daemon_.start("dbus-daemon", {"--session", "--print-address", "--nofork"});
    if (!daemon_.waitForStarted() || !daemon_.waitForReadyRead(5000)) return;
    const std::string address = QString::fromUtf8(daemon_.readLine()).trimmed().toStdString();
    if (!withServer) {
        address_ = address;
        return;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(address));
    mock_.setProcessEnvironment(env);
    mock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock_.start(kPython, {"-m", "dbusmock", "--session", "--template", "notification_daemon", "-l",
                          QString::fromStdString(log_)});
    if (!mock_.waitForStarted()) return;
    // The daemon is there once it answers.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000) {
        if (Python("mock.GetServerInformation(dbus_interface='org.freedesktop.Notifications')", address)) {
            address_ = address;
            return;
        }
        QThread::msleep(100);
    }
}

MockNotifications::~MockNotifications() {
    for (QProcess* p : {&mock_, &daemon_}) {
        p->kill();
        p->waitForFinished();
    }
}

std::string MockNotifications::Log() const { return ReadFileBytes(log_); }

bool MockNotifications::WaitForLog(const std::string& text, int timeoutMs) const {
    QElapsedTimer waited;
    waited.start();
    while (Log().find(text) == std::string::npos) {
        if (waited.elapsed() > timeoutMs) return false;
        // A clock in this process answers the bus only from its event loop.
        if (QCoreApplication::instance()) QCoreApplication::processEvents();
        QThread::msleep(20);
    }
    return true;
}

bool MockNotifications::Press(unsigned id, const std::string& action) const {
    return Python("mock.EmitSignal('org.freedesktop.Notifications', 'ActionInvoked', 'us', [dbus.UInt32(" +
                      std::to_string(id) + "), '" + action + "'], dbus_interface='org.freedesktop.DBus.Mock')",
                  address_);
}

}  // namespace tolvenmark::testing
