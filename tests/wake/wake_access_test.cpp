#include <sys/stat.h>

#include <algorithm>
#include <map>

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "wake/wake_access.h"
#include "wake/wake_privileges.h"

namespace tolvenmark::wake {
namespace {

using Session = LoginSessions::Session;

// logind as a table: the parent 100's session, the user's display session.
class TableSessions final : public LoginSessions {
public:
    std::optional<std::string> own, display;
    std::map<std::string, Session> sessions;
    std::optional<std::string> SessionOf(pid_t pid) override { return pid == 100 ? own : std::nullopt; }
    std::optional<std::string> DisplaySessionOf(uid_t) override { return display; }
    std::optional<Session> Describe(const std::string& id) override {
        const auto found = sessions.find(id);
        return found == sessions.end() ? std::nullopt : std::optional(found->second);
    }
};

struct CallerCase {
    uid_t uid;
    std::optional<std::string> own, display;
    Session session;  // as session "1"
    bool served;
};

class CallerTable : public ::testing::TestWithParam<CallerCase> {};

TEST_P(CallerTable, OnlyAPersonAtTheMachineIsServed) {
    const CallerCase& c = GetParam();
    TableSessions logind;
    logind.own = c.own, logind.display = c.display;
    logind.sessions["1"] = c.session;
    EXPECT_EQ(RefuseCaller(c.uid, 100, logind).empty(), c.served) << RefuseCaller(c.uid, 100, logind);
}

const Session kLocal{1000, false, true, "user"};
INSTANTIATE_TEST_SUITE_P(Cases, CallerTable, ::testing::Values(
    CallerCase{1000, "1", {}, kLocal, true},
    CallerCase{1000, {}, "1", kLocal, true},                          // started by the desktop outside the session
    CallerCase{0, {}, {}, kLocal, true},                              // root has the capability itself
    CallerCase{1000, {}, {}, kLocal, false},                          // a service of the user, nobody logged in
    CallerCase{1000, "2", "1", kLocal, false},                        // a session logind does not describe
    CallerCase{1000, "1", {}, Session{1000, true, false, "user"}, false},  // ssh
    CallerCase{1000, "1", {}, Session{1000, false, false, "user"}, false}, // no seat
    CallerCase{1000, "1", {}, Session{1000, true, true, "user"}, false},
    CallerCase{1000, "1", {}, Session{1000, false, true, "greeter"}, false},
    CallerCase{1001, "1", {}, kLocal, false},                         // su to another account in a session
    CallerCase{999, "1", {}, Session{999, false, true, "user"}, false},   // a system account
    CallerCase{65534, "1", {}, Session{65534, false, true, "user"}, false}));

// Earlier helpers of the user: the same real user holding CAP_WAKE_ALARM.
TEST(HeldTimersTest, FindsTheUsersOtherProcessesWithTheCapability) {
    testing::TempDir proc;
    const auto add = [&](const char* pid, const char* uids, const char* capEff) {
        mkdir(proc.File(pid).c_str(), 0700);
        testing::WriteFileBytes(proc.File(pid) + "/status", std::string("Name:\tx\nUid:\t") + uids +
                                                                "\nCapPrm:\t0000000800000000\nCapEff:\t" + capEff + "\n");
    };
    add("10", "1000\t1000\t1000\t1000", "0000000800000000");
    add("11", "1000\t1000\t1000\t1000", "0000000000000000");  // no capability
    add("12", "1001\t1000\t1000\t1000", "0000000800000000");  // another real user
    add("13", "1000\t1000\t1000\t1000", "000001ffffffffff");  // the user's own root-like program
    add("14", "1000\t1000\t1000\t1000", "0000000800000000");  // this helper
    add("self", "1000\t1000\t1000\t1000", "0000000800000000");
    std::vector<pid_t> held = HeldTimers(1000, 14, proc.path());
    std::sort(held.begin(), held.end());
    EXPECT_EQ(held, (std::vector<pid_t>{10, 13}));
}

// Every root id, real, effective or saved, makes the helper give up root.
class RecordedCalls final : public PrivilegeCalls {
public:
    ProcessIds ids;
    bool becomeWorks = true;
    std::optional<std::pair<uid_t, gid_t>> became;
    ProcessIds Ids() override { return ids; }
    bool KeepCapabilities(std::uint64_t) override { return true; }
    bool BecomeUser(uid_t uid, gid_t gid) override { return became = {uid, gid}, becomeWorks; }
    bool ForbidNewPrivileges() override { return true; }
};

struct IdsCase {
    ProcessIds ids;
    std::optional<std::pair<uid_t, gid_t>> becomes;
};

class RootIdsTable : public ::testing::TestWithParam<IdsCase> {};

TEST_P(RootIdsTable, AnyRootIdIsGivenUp) {
    RecordedCalls calls;
    calls.ids = GetParam().ids;
    EXPECT_EQ(DropPrivileges(calls), "");
    EXPECT_EQ(calls.became, GetParam().becomes);
    calls.becomeWorks = false;
    calls.became.reset();
    EXPECT_EQ(DropPrivileges(calls), GetParam().becomes ? "cannot give up root" : "");
}

using Ids = std::pair<uid_t, gid_t>;
INSTANTIATE_TEST_SUITE_P(Cases, RootIdsTable, ::testing::Values(
    IdsCase{{1000, 1000, 1000, 1000, 1000, 1000}, std::nullopt},
    IdsCase{{0, 1000, 1000, 1000, 1000, 1000}, Ids{kNobody, 1000}},
    IdsCase{{1000, 0, 1000, 1000, 1000, 1000}, Ids{1000, 1000}},  // set-user-id root
    IdsCase{{1000, 1000, 0, 1000, 1000, 1000}, Ids{1000, 1000}},
    IdsCase{{1000, 1000, 1000, 0, 1000, 1000}, Ids{1000, kNobody}},
    IdsCase{{1000, 1000, 1000, 1000, 0, 1000}, Ids{1000, 1000}},  // set-group-id root
    IdsCase{{1000, 1000, 1000, 1000, 1000, 0}, Ids{1000, 1000}},
    IdsCase{{0, 0, 0, 0, 0, 0}, Ids{kNobody, kNobody}}));

}  // namespace
}  // namespace tolvenmark::wake
