#include "setup/ras_connection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "scripted_ras_backend.h"

namespace tolvenmark {
namespace {

using ::testing::ElementsAre;
using testing::ScriptedRasBackend;

struct StateText {
    int state;
    const char* text;
};
void PrintTo(const StateText& s, std::ostream* os) { *os << s.state; }

class RasStateTextTest : public ::testing::TestWithParam<StateText> {};

TEST_P(RasStateTextTest, Words) {
    ScriptedRasBackend backend;
    EXPECT_EQ(RasStateText(GetParam().state, backend), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, RasStateTextTest,
                         ::testing::Values(StateText{0, "Opening Serial Port"}, StateText{2, "Connecting/Dialling"},
                                           StateText{7, "Unknown State - 7"}, StateText{9, "Unknown State - 9"},
                                           StateText{23, "Extra Channel Disconnected"},
                                           StateText{24, "Unknown State - 24"}, StateText{600, "Unknown State - 600"},
                                           StateText{678, "There was no answer."},
                                           StateText{700, "Remote access error 700"},
                                           StateText{1157, "RASAPI32.DLL Not Available"},
                                           StateText{4100, "Paused for Authentication"},
                                           StateText{8192, "Connected/Online"},
                                           StateText{8193, "Disconnected/Offline"}));

class RasConTest : public ::testing::Test {
protected:
    RasConTest() {
        auto owned = std::make_unique<ScriptedRasBackend>();
        backend = owned.get();
        con = std::make_unique<TMagRasCon>(std::move(owned));
        con->OnStateChanged = [this] {
            events.push_back(std::to_string(static_cast<int>(con->StateEventSource)) + " " +
                             std::to_string(con->ConnectState) + " " + con->StatusText);
        };
    }
    ScriptedRasBackend* backend;
    std::unique_ptr<TMagRasCon> con;
    std::vector<std::string> events;
};

TEST_F(RasConTest, DialProgressAndErrorsReachTheState) {
    con->EntryName = "My ISP";
    RasHandle h = 0;
    ASSERT_EQ(con->DialEntry(h), 0);
    EXPECT_EQ(h, 7u);
    EXPECT_THAT(backend->dialed, ElementsAre("My ISP|"));
    backend->Progress(1);
    backend->Progress(0, 678);
    EXPECT_THAT(events, ElementsAre("0 1 Serial Port Opened", "0 678 There was no answer."));
}

struct Poll {
    int result;
    std::uint16_t state;
    int error;
    std::uint16_t connectState;
    const char* text;
};
void PrintTo(const Poll& p, std::ostream* os) { *os << p.result << "/" << p.state << "/" << p.error; }

class PollStatusTest : public RasConTest, public ::testing::WithParamInterface<Poll> {};

TEST_P(PollStatusTest, Overrides) {
    backend->status[5] = {GetParam().result, GetParam().state, GetParam().error};
    con->PollStatus(5);
    EXPECT_EQ(con->ConnectState, GetParam().connectState);
    EXPECT_THAT(events, ElementsAre("1 " + std::to_string(GetParam().connectState) + " " + GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Table, PollStatusTest,
                         ::testing::Values(Poll{0, 8192, 0, 8192, "Connected/Online"},
                                           Poll{0, 2, 678, 678, "There was no answer."},
                                           Poll{6, 0, 0, 6, "Disconnected"}, Poll{8, 0, 0, 8, "Not enough memory"},
                                           Poll{600, 0, 0, 600, "Device Connecting/Dialling"},
                                           Poll{605, 0, 0, 605, "Remote access error 605"}));

TEST_F(RasConTest, PollingHandleZeroAsksNobody) {
    con->PollStatus(0);
    EXPECT_EQ(backend->statusReads, 0);
    EXPECT_EQ(con->ConnectState, 601);
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(RasConTest, HangUpReportsEachChangeUntilTheHandleIsGone) {
    backend->status[7] = {0, 8192, 0};
    backend->pollsBeforeGone = 2;
    con->HangUp(7, true, 3000);
    EXPECT_THAT(backend->hungUp, ElementsAre(7u));
    EXPECT_THAT(events, ElementsAre("2 8192 Connected/Online", "2 601 The connection handle is not valid."));
    EXPECT_EQ(con->ConnectState, 601);
    EXPECT_EQ(backend->statusReads, 3);
}

struct SlowReads {
    int readMs;
    int reads;
};
void PrintTo(const SlowReads& r, std::ostream* os) { *os << r.readMs << " ms a read"; }

class HangUpTimeOutTest : public RasConTest, public ::testing::WithParamInterface<SlowReads> {};

// The time-out is elapsed time: reads that take long mean fewer of them.
TEST_P(HangUpTimeOutTest, GivesUpAfterThreeSeconds) {
    backend->status[7] = {0, 8192, 0};
    backend->pollsBeforeGone = 1000;
    backend->statusReadMs = GetParam().readMs;
    con->HangUp(7, false, 3000);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(backend->statusReads, GetParam().reads);
    EXPECT_EQ(con->ConnectState, 8192);
}

INSTANTIATE_TEST_SUITE_P(Table, HangUpTimeOutTest,
                         ::testing::Values(SlowReads{0, 61}, SlowReads{200, 13}, SlowReads{2000, 2}));

TEST_F(RasConTest, RefreshConnectionsNoticesEveryChange) {
    con->RefreshConnections();
    EXPECT_FALSE(con->ConnectionsChanged);
    backend->active = {{3, "A", "modem", "ttyS0"}};
    con->RefreshConnections();
    EXPECT_TRUE(con->ConnectionsChanged);
    con->RefreshConnections();
    EXPECT_FALSE(con->ConnectionsChanged);
    backend->active[0].deviceName = "ttyUSB0";
    con->RefreshConnections();
    EXPECT_TRUE(con->ConnectionsChanged);
    backend->active.assign(10, {4, "B", "vpn", "tun0"});
    con->RefreshConnections();
    EXPECT_EQ(con->ActiveConnections.size(), 8u);
    backend->active.clear();
    con->RefreshConnections();
    EXPECT_TRUE(con->ConnectionsChanged);
    EXPECT_TRUE(con->ActiveConnections.empty());
}

}  // namespace
}  // namespace tolvenmark
