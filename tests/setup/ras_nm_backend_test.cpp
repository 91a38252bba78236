#include "setup/ras_nm_backend.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "setup/internet_setup.h"
#include "setup/ras_connection.h"
#include "support/gui_app.h"
#include "support/mock_network_manager.h"
#include "support/scripted_prompts.h"

namespace tolvenmark {
namespace {

using ::testing::ElementsAre;

// The backend against a mock NetworkManager on a private bus.
class MockNetworkManager : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnsureGuiApplication();
        if (!testing::MockNetworkManager::Installed())
            GTEST_SKIP() << "python3-dbusmock is not installed: the NetworkManager backend is not tested";
        nm = std::make_unique<testing::MockNetworkManager>();
        ASSERT_TRUE(nm->Ready());
    }
    std::unique_ptr<TMagRasCon> Component() {
        auto backend = MakeNetworkManagerBackend(nm->Address());
        EXPECT_TRUE(backend);
        auto con = std::make_unique<TMagRasCon>(std::move(backend));
        con->OnStateChanged = [this, c = con.get()] {
            events.push_back(std::to_string(static_cast<int>(c->StateEventSource)) + " " + std::to_string(c->ConnectState));
        };
        EXPECT_TRUE(QTest::qWaitFor([&] { return con->IsRasAvailable(); }, 10000));
        return con;
    }
    // The watch's view once NetworkManager's signals have arrived.
    static bool ListsSoon(TMagRasCon& con, std::size_t count) {
        return QTest::qWaitFor([&] { return con.RefreshConnections() == 0 && con.ActiveConnections.size() == count; },
                               10000);
    }

    std::unique_ptr<testing::MockNetworkManager> nm;
    std::vector<std::string> events;
};

TEST_F(MockNetworkManager, PhoneBookIsTheDialingProfiles) {
    auto con = Component();
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

    ASSERT_TRUE(ListsSoon(*con, 1));
    EXPECT_EQ(con->ActiveConnections[0].entryName, "My ISP");
    EXPECT_EQ(con->ActiveConnections[0].deviceType, "pppoe");
    EXPECT_EQ(con->ActiveConnections[0].handle, handle);
    con->PollStatus(handle);
    EXPECT_EQ(con->ConnectState, 8192);

    con->HangUp(handle, true, 3000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return con->ConnectState == 601; }, 5000));
    ASSERT_TRUE(ListsSoon(*con, 0));
}

TEST_F(MockNetworkManager, OutsideDialUpSeenOwnNetworkLeftAlone) {
    auto con = Component();
    ASSERT_TRUE(nm->Python("manager.ActivateConnection(path_of('Home'), '/', '/')"));
    ASSERT_TRUE(nm->Python("manager.ActivateConnection(path_of('Mobile'), '/', '/')"));
    ASSERT_TRUE(ListsSoon(*con, 1));
    EXPECT_EQ(con->ActiveConnections[0].entryName, "Mobile");
    EXPECT_EQ(con->ActiveConnections[0].deviceType, "gsm");
}

// A restarted NetworkManager gives its first active connection the number
// the old one had; the old handle must not name the new connection.
TEST_F(MockNetworkManager, ARestartForgetsEveryHandle) {
    auto con = Component();
    ASSERT_TRUE(nm->Python("manager.ActivateConnection(path_of('My ISP'), '/', '/')"));
    ASSERT_TRUE(ListsSoon(*con, 1));
    const RasHandle old = con->ActiveConnections[0].handle;
    nm->Restart();
    ASSERT_TRUE(nm->Python("profile('Mobile', 'gsm'); manager.ActivateConnection(path_of('Mobile'), '/', '/')"));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        con->RefreshConnections();
        return con->ActiveConnections.size() == 1 && con->ActiveConnections[0].entryName == "Mobile";
    }, 10000));
    EXPECT_NE(con->ActiveConnections[0].handle, old);
    con->PollStatus(old);
    EXPECT_EQ(con->ConnectState, 6);
}

// A hung NetworkManager: the dial starts at once and ends later with "timed out".
TEST_F(MockNetworkManager, HungServiceEndsTheDialWithTimedOut) {
    auto con = Component();
    nm->Hang();
    con->EntryName = "My ISP";
    RasHandle handle = 0;
    ASSERT_EQ(con->DialEntry(handle), 0);
    EXPECT_TRUE(events.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !events.empty(); }, 10000));
    EXPECT_THAT(events, ElementsAre("0 638"));
}

TEST_F(MockNetworkManager, DialogLogsADialAndAnOutsideHangUp) {
    std::map<std::string, std::string> keys{{"ICONNECT", "My ISP"}};
    testing::ScriptedPrompts prompts;
    TForm8 form(MakeNetworkManagerBackend(nm->Address()),
                {[&](const std::string& k) { return keys[k]; },
                 [&](const std::string& k, const std::string& v) { keys[k] = v; }},
                prompts);
    form.show();  // before NetworkManager's first answer: no dial-up yet
    EXPECT_EQ(form.Memo1->toPlainText().toStdString(), "Software Error.  Please contact the program creator.");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.ListBox1->count() == 3; }, 10000));  // then its phone book
    EXPECT_TRUE(form.Memo1->toPlainText().isEmpty());
    form.Button1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.ConnectState() == 8192; }, 5000));
    ASSERT_TRUE(nm->Python("manager.DeactivateConnection(manager.Get(S, 'ActiveConnections', "
                       "dbus_interface='org.freedesktop.DBus.Properties')[0])"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.connectedHandle == 0; }, 10000));
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
