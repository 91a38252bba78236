#include "support/mock_network_manager.h"

#include <csignal>
#include <fstream>
#include <sys/types.h>

#include <QProcessEnvironment>
#include <QTest>

namespace tolvenmark::testing {

namespace {

constexpr const char* kPython = "/usr/bin/python3";

constexpr const char* kPrelude = R"(
import dbus, sys
bus = dbus.bus.BusConnection(sys.argv[1])
S = 'org.freedesktop.NetworkManager'
nm = bus.get_object(S, '/org/freedesktop/NetworkManager')
mock = dbus.Interface(nm, 'org.freedesktop.DBus.Mock')
manager = dbus.Interface(nm, S)
settings = dbus.Interface(bus.get_object(S, '/org/freedesktop/NetworkManager/Settings'), S + '.Settings')
def profile(name, kind):
    return settings.AddConnection(dbus.Dictionary(
        {'connection': dbus.Dictionary({'id': name, 'type': kind}, signature='sv')}, signature='sa{sv}'))
def path_of(name):
    for p in settings.ListConnections():
        c = bus.get_object(S, p).GetSettings(dbus_interface=S + '.Settings.Connection')
        if c['connection']['id'] == name:
            return p
)";

// The mock itself; while the flag file exists it answers each call 2 s late.
constexpr const char* kMock = R"(
import os, runpy, sys, time, dbus.service
flag = sys.argv[1]
answer = dbus.service.Object._message_cb
def late(self, connection, message):
    if os.path.exists(flag):
        time.sleep(2)
    return answer(self, connection, message)
dbus.service.Object._message_cb = late
sys.argv = ['dbusmock', '--system', '--template', 'networkmanager']
runpy.run_module('dbusmock', run_name='__main__')
)";

}  // namespace

bool MockNetworkManager::Installed() { return QProcess::execute(kPython, {"-c", "import dbusmock"}) == 0; }

MockNetworkManager::MockNetworkManager() {
    daemon_.start("dbus-daemon", {"--session", "--print-address", "--nofork"});
    if (!daemon_.waitForStarted() || !daemon_.waitForReadyRead(5000)) return;
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed().toStdString();
    Start();
    ready_ = Python("mock.AddEthernetDevice('eth0', 'eth0', 100)\n"
                    "profile('My ISP', 'pppoe'); profile('Mobile', 'gsm'); profile('Home', '802-11-wireless')");
}

MockNetworkManager::~MockNetworkManager() {
    if (mock_.state() != QProcess::NotRunning) ::kill(static_cast<pid_t>(mock_.processId()), SIGCONT);
    for (QProcess* p : {&mock_, &daemon_}) {
        p->kill();
        p->waitForFinished();
    }
}

void MockNetworkManager::Start() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SYSTEM_BUS_ADDRESS", QString::fromStdString(address_));
    mock_.setProcessEnvironment(env);
    mock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock_.start(kPython, {"-c", kMock, QString::fromStdString(flagDir_.File("slow"))});
    mock_.waitForStarted();
    QTest::qWaitFor([&] { return Python("print(nm.Get(S, 'Version', dbus_interface='org.freedesktop.DBus.Properties'))"); },
                    10000);
}

bool MockNetworkManager::Python(const std::string& snippet) {
    return QProcess::execute(kPython, {"-c", QString::fromStdString(kPrelude + snippet), QString::fromStdString(address_)}) == 0;
}

void MockNetworkManager::Hang() { ::kill(static_cast<pid_t>(mock_.processId()), SIGSTOP); }

void MockNetworkManager::AnswerSlowly() { std::ofstream(flagDir_.File("slow")) << "slow\n"; }

void MockNetworkManager::Restart() {
    mock_.kill();
    mock_.waitForFinished();
    Start();
}

}  // namespace tolvenmark::testing
