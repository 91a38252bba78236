#include "setup/ras_nm_backend.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "setup/internet_setup.h"
#include "setup/ras_connection.h"
#include "support/gui_app.h"
#include "support/scripted_prompts.h"

namespace tolvenmark {
namespace {

using ::testing::ElementsAre;

constexpr const char* kPython = "/usr/bin/python3";

// The python side: a bus connection and the mock's objects, then the snippet.
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

// A private bus with a mock NetworkManager on it, as the system bus would have.
class MockNetworkManager : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnsureGuiApplication();
        if (QProcess::execute(kPython, {"-c", "import dbusmock"}) != 0)
            GTEST_SKIP() << "python3-dbusmock is not installed: the NetworkManager backend is not tested";
        daemon_.start("dbus-daemon", {"--session", "--print-address", "--nofork"});
        ASSERT_TRUE(daemon_.waitForStarted()) << "dbus-daemon is missing";
        ASSERT_TRUE(daemon_.waitForReadyRead(5000));
        address = QString::fromUtf8(daemon_.readLine()).trimmed().toStdString();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SYSTEM_BUS_ADDRESS", QString::fromStdString(address));
        mock_.setProcessEnvironment(env);
        mock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        mock_.start(kPython, {"-m", "dbusmock", "--system", "--template", "networkmanager"});
        ASSERT_TRUE(mock_.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor([&] { return Python("print(nm.Get(S, 'Version', dbus_interface='org.freedesktop.DBus.Properties'))"); }, 10000));
        ASSERT_TRUE(Python("mock.AddEthernetDevice('eth0', 'eth0', 100)\n"
                           "profile('My ISP', 'pppoe'); profile('Mobile', 'gsm'); profile('Home', '802-11-wireless')"));
    }
    void TearDown() override {
        for (QProcess* p : {&mock_, &daemon_}) {
            p->kill();
            p->waitForFinished();
        }
    }
    bool Python(const std::string& snippet) {
        return QProcess::execute(kPython, {"-c", QString::fromStdString(kPrelude + snippet), QString::fromStdString(address)}) == 0;
    }
    std::unique_ptr<TMagRasCon> Component() {
        auto backend = MakeNetworkManagerBackend(address);
        EXPECT_TRUE(backend);
        auto con = std::make_unique<TMagRasCon>(std::move(backend));
        con->OnStateChanged = [this, c = con.get()] {
            events.push_back(std::to_string(static_cast<int>(c->StateEventSource)) + " " + std::to_string(c->ConnectState));
        };
        return con;
    }

    std::string address;
    std::vector<std::string> events;

private:
    QProcess daemon_;
    QProcess mock_;
};

TEST_F(MockNetworkManager, PhoneBookIsTheDialingProfiles) {
    auto con = Component();
    ASSERT_TRUE(con->IsRasAvailable());
    ASSERT_EQ(con->ListPhoneBookEntries(), 0);
    EXPECT_THAT(con->PhoneBookEntries, ElementsAre("Mobile", "My ISP"));
}

TEST_F(MockNetworkManager, DialTrackAndHangUp) {
    auto con = Component();
    con->EntryName = "My ISP";
    RasHandle handle = 0;
    ASSERT_EQ(con->DialEntry(handle), 0);
    ASSERT_NE(handle, 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return con->ConnectState == 8192; }, 5000));
    EXPECT_THAT(events, ElementsAre("0 8192"));

    con->RefreshConnections();
    ASSERT_EQ(con->ActiveConnections.size(), 1u);
    EXPECT_EQ(con->ActiveConnections[0].entryName, "My ISP");
    EXPECT_EQ(con->ActiveConnections[0].deviceType, "pppoe");
    EXPECT_EQ(con->ActiveConnections[0].handle, handle);
    con->PollStatus(handle);
    EXPECT_EQ(con->ConnectState, 8192);

    con->HangUp(handle, true, 3000);
    EXPECT_EQ(con->ConnectState, 601);
    con->RefreshConnections();
    EXPECT_TRUE(con->ActiveConnections.empty());
    EXPECT_TRUE(con->ConnectionsChanged);
}

TEST_F(MockNetworkManager, OutsideConnectionsAreSeenButTheMachinesOwnNetworkIsLeftAlone) {
    auto con = Component();
    ASSERT_TRUE(Python("manager.ActivateConnection(path_of('Home'), '/', '/')"));
    con->RefreshConnections();
    EXPECT_TRUE(con->ActiveConnections.empty());
    ASSERT_TRUE(Python("manager.ActivateConnection(path_of('Mobile'), '/', '/')"));
    con->RefreshConnections();
    ASSERT_EQ(con->ActiveConnections.size(), 1u);
    EXPECT_EQ(con->ActiveConnections[0].entryName, "Mobile");
    EXPECT_EQ(con->ActiveConnections[0].deviceType, "gsm");
}

TEST_F(MockNetworkManager, DialogLogsADialAndAnOutsideHangUp) {
    std::map<std::string, std::string> keys{{"ICONNECT", "My ISP"}};
    testing::ScriptedPrompts prompts;
    TForm8 form(MakeNetworkManagerBackend(address),
                {[&](const std::string& k) { return keys[k]; },
                 [&](const std::string& k, const std::string& v) { keys[k] = v; }},
                prompts);
    form.show();
    form.Button1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.ConnectState() == 8192; }, 5000));
    ASSERT_TRUE(Python("manager.DeactivateConnection(manager.Get(S, 'ActiveConnections', "
                       "dbus_interface='org.freedesktop.DBus.Properties')[0])"));
    form.Timer1Timer();
    EXPECT_EQ(form.Memo1->toPlainText().toStdString(),
              "Dialing Connection: My ISP\nDial: Connected/Online (8192)\nConnection Offline");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST(NetworkManagerChoiceTest, NoServiceNoBackend) {
    testing::EnsureGuiApplication();
    EXPECT_FALSE(MakeNetworkManagerBackend("unix:path=/nonexistent/bus"));
}

struct NmState {
    std::uint32_t state;
    std::uint32_t reason;
    std::uint16_t dialState;
    int error;
};
void PrintTo(const NmState& s, std::ostream* os) { *os << s.state << "/" << s.reason; }

class MapNmStateTest : public ::testing::TestWithParam<NmState> {};

TEST_P(MapNmStateTest, Rule) {
    const NmDialState d = MapNmState(GetParam().state, GetParam().reason);
    EXPECT_EQ(d.state, GetParam().dialState);
    EXPECT_EQ(d.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(Table, MapNmStateTest,
                         ::testing::Values(NmState{0, 0, 0, 0}, NmState{1, 0, 2, 0}, NmState{2, 0, 8192, 0},
                                           NmState{4, 2, 8193, 0}, NmState{3, 1, 8193, 0},
                                           NmState{4, 6, 8193, 678}, NmState{4, 9, 8193, 691},
                                           NmState{4, 10, 8193, 691}, NmState{4, 11, 8193, 623},
                                           NmState{4, 3, 8193, 619}, NmState{4, 99, 8193, 0}));

}  // namespace
}  // namespace tolvenmark
