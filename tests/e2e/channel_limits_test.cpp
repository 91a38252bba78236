#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QThread>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

#include "support/alarm_env.h"
#include "support/file_size_limit.h"
#include "support/program_run.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ProgramResult;
using testing::RunClock;
using testing::RunningClock;
using testing::TempDir;

void WriteLimitsConfig(const TempDir& dir, const std::string& more = "") {
    testing::WriteFileBytes(dir.File("TOLVENMARKCLOCK.INI"),
                            "[ALARM]\nAPPPATH=" + dir.path() +
                                "\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\nSKIN=Default\nALSET=TRUE\nALHEADER=Wake\n"
                                "ALDATE=1/1/2099\nALTIME=7:00:00 AM\n" + more);
}

// --status until the clock answers, or its last failure.
ProgramResult StatusWhenUp(const std::map<std::string, std::string>& env) {
    for (int tries = 0; tries < 100; ++tries, QThread::msleep(200))
        if (ProgramResult status = RunClock({"--status"}, env, 20000); status.exitCode == 0) return status;
    return RunClock({"--status"}, env, 20000);
}

int Connect(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    ::close(fd);
    return -1;
}

// True when the clock closed fd, a connection it owes nothing, within 20 s.
bool ClosedByClock(int fd) {
    pollfd p{fd, POLLIN, 0};
    char c;
    return ::poll(&p, 1, 20000) == 1 && ::read(fd, &c, 1) == 0;
}

class ChannelLimitsTest : public ::testing::Test {
protected:
    void SetUp() override { WriteLimitsConfig(dir); }
    void Start() {
        clock = std::make_unique<RunningClock>(std::vector<std::string>{}, env);
        ASSERT_EQ(StatusWhenUp(env).exitCode, 0) << clock->Error();
    }
    std::string Socket() const { return dir.File("tolvenmark-clock.socket"); }

    TempDir dir;
    std::map<std::string, std::string> env = testing::ClockEnv(dir);
    std::unique_ptr<RunningClock> clock;
};

TEST_F(ChannelLimitsTest, AClientThatNeverReadsIsClosedAndOthersAreAnswered) {
    Start();
    const int fd = Connect(Socket());
    ASSERT_GE(fd, 0);
    std::string lines;
    for (int i = 0; i < 4096; ++i) lines += "STATUS\n";
    // 50 MB of requests, their replies never read, as long as the clock takes them.
    bool closed = false;
    pollfd p{fd, POLLOUT, 0};
    for (std::size_t sent = 0; sent < 50u * 1024 * 1024 && !closed && ::poll(&p, 1, 10000) == 1;) {
        const ssize_t n = ::send(fd, lines.data(), lines.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        sent += n > 0 ? static_cast<std::size_t>(n) : 0;
        closed = n < 0 && errno != EAGAIN;
    }
    ::close(fd);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(clock->WaitForError("closed a connection that does not read its replies", 10000)) << clock->Error();
    EXPECT_EQ(RunClock({"--status"}, env, 20000).exitCode, 0);
}

TEST_F(ChannelLimitsTest, RequestsOfAClientThatWentAreStillCarriedOut) {
    Start();
    std::string lines;
    for (int i = 0; i < 99; ++i) lines += "ALARM-ON\n";
    lines += "ALARM-OFF\n";
    const int fd = Connect(Socket());
    ASSERT_EQ(::send(fd, lines.data(), lines.size(), MSG_NOSIGNAL), static_cast<ssize_t>(lines.size()));
    ::close(fd);
    bool off = false;
    for (int tries = 0; !off && tries < 50; ++tries, QThread::msleep(100))
        off = RunClock({"--status"}, env, 20000).out.find("alarm=off\n") != std::string::npos;
    EXPECT_TRUE(off);
}

// Idle connections past the limit of open files: the oldest go, the clock
// stays the one copy and answers.
TEST_F(ChannelLimitsTest, IdleConnectionsCannotTakeTheChannel) {
    rlimit old{};
    ::getrlimit(RLIMIT_NOFILE, &old);
    const rlimit small{128, old.rlim_max};
    ::setrlimit(RLIMIT_NOFILE, &small);
    Start();
    ::setrlimit(RLIMIT_NOFILE, &old);
    std::vector<int> idle;
    for (int i = 0; i < 166; ++i) idle.push_back(Connect(Socket()));
    EXPECT_TRUE(ClosedByClock(idle.front()));
    ProgramResult second = RunClock({}, env, 30000);
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(RunClock({"--status"}, env, 20000).exitCode, 0);
    for (const int fd : idle) ::close(fd);
}

// At most 16 connections: the 16th leaves the others open, the 17th closes the idlest.
TEST_F(ChannelLimitsTest, SixteenConnectionsAreKeptTheSeventeenthClosesTheIdlest) {
    Start();
    std::vector<int> open;
    for (int n = 1; n <= 17; ++n) {
        open.push_back(Connect(Socket()));
        if (n < 15) continue;
        // Once the newest is answered, the clock has taken every one before it.
        ASSERT_EQ(::send(open.back(), "STATUS\n", 7, MSG_NOSIGNAL), 7);
        std::string reply;
        pollfd newest{open.back(), POLLIN, 0};
        while (reply.find("OK\n") == std::string::npos && ::poll(&newest, 1, 20000) == 1) {
            char buffer[256];
            const ssize_t got = ::read(open.back(), buffer, sizeof buffer);
            if (got <= 0) break;
            reply.append(buffer, static_cast<std::size_t>(got));
        }
        ASSERT_NE(reply.find("OK\n"), std::string::npos) << n;
        pollfd first{open.front(), POLLIN, 0};
        EXPECT_EQ(::poll(&first, 1, 0), n == 17 ? 1 : 0) << n << " connections";
    }
    for (const int fd : open) ::close(fd);
}

// A runtime folder too deep for a socket path still gives one clock and a command line.
TEST_F(ChannelLimitsTest, ALongRuntimePathFallsBackToAShortOne) {
    const std::string deep = dir.File(std::string(100, 'r'));
    std::filesystem::create_directory(deep);
    std::filesystem::permissions(deep, std::filesystem::perms::owner_all);
    env["XDG_RUNTIME_DIR"] = deep;
    Start();
    EXPECT_EQ(RunClock({}, env, 30000).exitCode, 0);  // a second start finds the first
    ASSERT_TRUE(clock->WaitForError("is too long; using /tmp/tolvenmark-", 5000)) << clock->Error();
    const std::string log = clock->Error();
    const std::size_t at = log.find("using /tmp/tolvenmark-") + 6;
    clock.reset();
    std::filesystem::remove_all(log.substr(at, log.find('\n', at) - at));
}

TEST_F(ChannelLimitsTest, ALostSocketIsMadeAgain) {
    Start();
    ASSERT_EQ(::unlink(Socket().c_str()), 0);
    EXPECT_EQ(StatusWhenUp(env).exitCode, 0) << clock->Error();
    EXPECT_TRUE(clock->WaitForError("listening again", 10000)) << clock->Error();
}

TEST_F(ChannelLimitsTest, AnErrorWithALineBreakTravelsAsOneLine) {
    WriteLimitsConfig(dir, "; " + std::string(6000, 'x') + "\n");
    {
        testing::ScopedFileSizeLimit limit(4096);  // the clock's writes fail
        Start();
    }
    const ProgramResult set = RunClock({"--set-alarm", "1/2/2099", "7:00"}, env, 20000);
    EXPECT_EQ(set.exitCode, 1);
    EXPECT_EQ(set.err, "tolvenmark-clock: ERROR The file : " + dir.File("TOLVENMARKCLOCK.INI") +
                           " cannot be written. Disk full\n");
}

constexpr const char* kClock = TOLVENMARK_BINARY_DIR "/tolvenmark-clock";

// Copies started at the same instant, behind a barrier (a pipe closed for
// all at once): one runs, the others hand over to it.
TEST(SingleCopyTest, EightAtOnceLeaveOne) {
    for (int round = 0; round < 5; ++round) {
        TempDir dir;
        WriteLimitsConfig(dir);
        std::map<std::string, std::string> env = testing::ClockEnv(dir);
        env.insert({{"QT_QPA_PLATFORM", "offscreen"}, {"TOLVENMARK_PROMPTS", "stderr"}});
        int barrier[2];
        ASSERT_EQ(::pipe(barrier), 0);
        std::vector<pid_t> copies;
        for (int i = 0; i < 8; ++i) {
            copies.push_back(::fork());
            if (copies.back() != 0) continue;
            for (const auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
            ::close(barrier[1]);
            char c;
            if (::read(barrier[0], &c, 1) == 0) ::execl(kClock, kClock, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(barrier[0]);
        ::close(barrier[1]);
        EXPECT_EQ(StatusWhenUp(env).exitCode, 0);
        long running = 8;
        for (int tries = 0; running > 1 && tries < 600; ++tries, QThread::msleep(100))
            running = std::count_if(copies.begin(), copies.end(), [](pid_t& pid) {
                if (pid > 0 && ::waitpid(pid, nullptr, WNOHANG) == pid) pid = 0;
                return pid > 0;
            });
        EXPECT_EQ(running, 1) << "round " << round;
        for (const pid_t pid : copies)
            if (pid > 0 && ::kill(pid, SIGKILL) == 0) ::waitpid(pid, nullptr, 0);
    }
}

// With no runtime folder and no temporary folder the clock starts all the
// same; where no private folder can be had at all it says so in one line.
TEST(HostileFolderTest, NoRuntimeOrTemporaryFolder) {
    TempDir dir;
    WriteLimitsConfig(dir);
    std::map<std::string, std::string> env = testing::ClockEnv(dir);
    env.insert_or_assign("XDG_RUNTIME_DIR", "");
    env.insert({{"TMPDIR", "/nonexistent"}, {"XDG_CACHE_HOME", dir.File("cache")}});
    {
        RunningClock clock({}, env);
        EXPECT_EQ(StatusWhenUp(env).exitCode, 0) << clock.Error();
        EXPECT_TRUE(std::filesystem::exists(dir.File("cache/tolvenmark/run/tolvenmark-clock.socket")));
    }
    std::filesystem::remove_all(dir.File("cache"));
    testing::WriteFileBytes(dir.File("cache"), "");
    const ProgramResult start = RunClock({}, env, 20000);
    EXPECT_EQ(start.exitCode, 1);
    EXPECT_EQ(start.err.rfind("tolvenmark-clock: no private folder for the clock's socket: ", 0), 0u) << start.err;
    EXPECT_EQ(std::count(start.err.begin(), start.err.end(), '\n'), 1) << start.err;
}

}  // namespace
}  // namespace tolvenmark
