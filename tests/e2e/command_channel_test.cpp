#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QThread>
#include <cstring>
#include <gtest/gtest.h>

#include "support/alarm_env.h"
#include "support/program_run.h"
#include "support/recording_script.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ProgramResult;
using testing::ReadFileBytes;
using testing::RunClock;
using testing::RunningClock;
using testing::TempDir;
using testing::WriteFileBytes;

constexpr uid_t kNobody = 65534;

using testing::ClockEnv;

void WriteConfig(const TempDir& dir, const std::string& alSet = "TRUE", const std::string& date = "1/1/2099",
                 const std::string& time = "7:00:00 AM", const std::string& more = "") {
    WriteFileBytes(dir.File("TOLVENMARKCLOCK.INI"),
                   "[ALARM]\nAPPPATH=" + dir.path() +
                       "\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\nSKIN=Default\nALSET=" + alSet +
                       "\nALHEADER=Wake\nALDATE=" + date + "\nALTIME=" + time + "\n" + more);
}

std::string SocketPath(const TempDir& dir) { return dir.File("tolvenmark-clock.socket"); }

// A clock in dir, answering on its channel.
class ChannelTest : public ::testing::Test {
protected:
    void StartClock(const std::string& alSet = "TRUE") {
        WriteConfig(dir, alSet);
        Start();
    }
    void Start() {
        clock = std::make_unique<RunningClock>(std::vector<std::string>{}, ClockEnv(dir));
        QElapsedTimer waited;
        waited.start();
        while (Ctl({"--status"}).exitCode != 0 && waited.elapsed() < 20000) QThread::msleep(100);
        ASSERT_EQ(Ctl({"--status"}).exitCode, 0) << clock->Error();
    }
    ProgramResult Ctl(const std::vector<std::string>& args) { return RunClock(args, ClockEnv(dir), 20000); }
    std::string Status() { return Ctl({"--status"}).out; }
    // Polls --status until it holds text; false after 15 s.
    bool StatusShows(const std::string& text) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 15000) {
            if (Status().find(text) != std::string::npos) return true;
            QThread::msleep(200);
        }
        return false;
    }

    TempDir dir;
    std::unique_ptr<RunningClock> clock;
};

TEST_F(ChannelTest, StatusTellsThePendingAlarmTheSwitchAndThePlayer) {
    StartClock();
    const ProgramResult status = Ctl({"--status"});
    EXPECT_EQ(status.exitCode, 0) << status.err;
    EXPECT_EQ(status.out, "header=Wake\ndate=1/1/2099\ntime=7:00:00 AM\nalarm=on\nplayer=stopped\n");
}

TEST_F(ChannelTest, AlarmOffAndOnSwitchTheRunningClock) {
    StartClock();
    EXPECT_EQ(Ctl({"--alarm-off"}).exitCode, 0);
    EXPECT_NE(Status().find("alarm=off\n"), std::string::npos);
    EXPECT_EQ(Ctl({"--alarm-off"}).exitCode, 0);  // twice is still off
    EXPECT_NE(Status().find("alarm=off\n"), std::string::npos);
    EXPECT_EQ(Ctl({"--alarm-on"}).exitCode, 0);
    EXPECT_NE(Status().find("alarm=on\n"), std::string::npos);
}

TEST_F(ChannelTest, SetAlarmWritesTheAlarmAndSwitchesItOn) {
    StartClock("FALSE");
    EXPECT_NE(Status().find("alarm=off\n"), std::string::npos);
    const ProgramResult set = Ctl({"--set-alarm", "12/24/2027", "6:30 PM", "Carols"});
    EXPECT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(Status(), "header=Carols\ndate=12/24/2027\ntime=6:30:00 PM\nalarm=on\nplayer=stopped\n");
    const std::string ini = ReadFileBytes(dir.File("TOLVENMARKCLOCK.INI"));
    EXPECT_NE(ini.find("ALHEADER=Carols\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("ALDATE=12/24/2027\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("ALTIME=6:30:00 PM\n"), std::string::npos) << ini;

    // Without a header the alarm keeps its own.
    EXPECT_EQ(Ctl({"--set-alarm", "1/5/2028", "5:00"}).exitCode, 0);
    EXPECT_EQ(Status(), "header=Carols\ndate=1/5/2028\ntime=5:00:00 AM\nalarm=on\nplayer=stopped\n");
}

TEST_F(ChannelTest, SetAlarmRefusesWhatTheClockCannotReadAndKeepsTheFile) {
    StartClock();
    const std::string before = ReadFileBytes(dir.File("TOLVENMARKCLOCK.INI"));
    for (const auto& [date, time] : std::vector<std::pair<std::string, std::string>>{
             {"13/45/2027", "6:30"}, {"12/24/2027", "25:99"}, {"tomorrow", "6:30"}}) {
        const ProgramResult set = Ctl({"--set-alarm", date, time, "X"});
        EXPECT_EQ(set.exitCode, 1) << date << " " << time;
        EXPECT_NE(set.err.find("is not a valid"), std::string::npos) << set.err;
    }
    EXPECT_EQ(ReadFileBytes(dir.File("TOLVENMARKCLOCK.INI")), before);
    EXPECT_EQ(Status(), "header=Wake\ndate=1/1/2099\ntime=7:00:00 AM\nalarm=on\nplayer=stopped\n");
}

TEST_F(ChannelTest, ShowIsAnswered) {
    StartClock();
    EXPECT_EQ(Ctl({"--show"}).exitCode, 0);
    EXPECT_TRUE(clock->Running()) << clock->Error();
}

TEST_F(ChannelTest, SnoozeStopsTheRingingPlayer) {
    testing::RecordingScript player(dir.path(), "player.sh");
    const auto [date, time] = testing::LocalAlarmTexts(4);
    WriteConfig(dir, "TRUE", date, time,
                "MTYPE=Other File Format\nALFILE=" + dir.File("song.ogg") + "\nPLAYER=CUSTOM\nCUSTOM=" +
                    player.path() + "\nSNOOZE=Yes\nSNOOZEMIN=5\nCHANGEALARM=No\nDELETEALARM=No\n");
    Start();
    ASSERT_TRUE(player.WaitForCalls(1, 15000)) << clock->Error();
    const pid_t pid = player.Calls()[0].pid;
    ASSERT_TRUE(StatusShows("player=running\n")) << Status();

    const ProgramResult snooze = Ctl({"--snooze"});
    EXPECT_EQ(snooze.exitCode, 0) << snooze.err;
    EXPECT_TRUE(StatusShows("player=stopped\n")) << Status();
    QElapsedTimer waited;
    waited.start();
    while (testing::ProcessAlive(pid) && waited.elapsed() < 5000) QThread::msleep(50);
    EXPECT_FALSE(testing::ProcessAlive(pid));
    EXPECT_TRUE(clock->Running());
}

TEST_F(ChannelTest, QuitEndsTheClockAndItsSocket) {
    StartClock();
    const ProgramResult quit = Ctl({"--quit"});
    EXPECT_EQ(quit.exitCode, 0) << quit.err;
    EXPECT_TRUE(clock->WaitForEnd(10000));
    EXPECT_NE(::access(SocketPath(dir).c_str(), F_OK), 0);
    const ProgramResult after = Ctl({"--status"});
    EXPECT_EQ(after.exitCode, 3);
}

// Connects to path, sends bytes, and returns what comes back until a line end,
// the connection's end or 3 s; "connect failed" when it cannot connect.
std::string RawExchange(const std::string& path, const std::string& bytes) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return "connect failed";
    }
    ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    std::string reply;
    pollfd p{fd, POLLIN, 0};
    while (reply.find('\n') == std::string::npos && ::poll(&p, 1, 3000) > 0) {
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        reply.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return reply;
}

// Answered on the command line, never by a box on the desktop, however often asked.
TEST_F(ChannelTest, SnoozeWithNothingRingingSaysSoOnTheCommandLine) {
    WriteConfig(dir, "TRUE", "1/1/2099", "7:00:00 AM", "SNOOZE=Yes\n");
    Start();
    for (int i = 0; i < 3; ++i) {
        const ProgramResult snooze = Ctl({"--snooze"});
        EXPECT_EQ(snooze.exitCode, 1);
        EXPECT_NE(snooze.err.find("No alarm was started to Snooze!"), std::string::npos) << snooze.err;
    }
    EXPECT_EQ(RawExchange(SocketPath(dir), "SHOW\r\n"), "OK\n");
    EXPECT_EQ(clock->Error().find("Information:"), std::string::npos) << clock->Error();
}

TEST_F(ChannelTest, BadLinesAreRefusedLoggedAndChangeNothing) {
    StartClock();
    const std::string before = ReadFileBytes(dir.File("TOLVENMARKCLOCK.INI"));
    EXPECT_EQ(RawExchange(SocketPath(dir), "ALARM-OFF\tnow\n"), "ERROR unexpected fields\n");
    EXPECT_EQ(RawExchange(SocketPath(dir), "FORMAT C:\n"), "ERROR unknown request\n");
    EXPECT_TRUE(clock->WaitForError("tolvenmark-clock: refused a request: unknown request\n", 5000)) << clock->Error();
    // Over 4 KB, with or without its end: no answer, the connection is closed.
    EXPECT_EQ(RawExchange(SocketPath(dir), "SET-ALARM\t1/2/2027\t7:00\t" + std::string(5000, 'x') + "\n"), "");
    EXPECT_EQ(RawExchange(SocketPath(dir), std::string(5000, 'x')), "");
    EXPECT_TRUE(clock->WaitForError("refused a request line over 4096 bytes\n", 5000)) << clock->Error();

    EXPECT_TRUE(clock->Running());
    EXPECT_EQ(ReadFileBytes(dir.File("TOLVENMARKCLOCK.INI")), before);
    EXPECT_EQ(Status(), "header=Wake\ndate=1/1/2099\ntime=7:00:00 AM\nalarm=on\nplayer=stopped\n");
}

// Runs exchange as user nobody in a child; its exit status is the result.
int AsNobody(const std::function<int()>& exchange) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(90);
        ::_exit(exchange());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

TEST_F(ChannelTest, AnotherUserIsRefused) {
    StartClock();
    struct stat st {};
    ASSERT_EQ(::stat(SocketPath(dir).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(st.st_uid, ::geteuid());
    if (::geteuid() != 0) GTEST_SKIP() << "switching to a second user needs root";

    const std::string path = SocketPath(dir);
    ::chmod(dir.path().c_str(), 0755);
    // The mode bars another user.
    EXPECT_EQ(AsNobody([&] { return RawExchange(path, "STATUS\n") == "connect failed" ? 0 : 1; }), 0);
    // And where the mode were opened, the clock still refuses them.
    ::chmod(path.c_str(), 0666);
    EXPECT_EQ(AsNobody([&] { return RawExchange(path, "QUIT\n").empty() ? 0 : 1; }), 0);
    EXPECT_TRUE(clock->WaitForError("refused a connection from another user\n", 5000)) << clock->Error();
    EXPECT_TRUE(clock->Running());
}

TEST(ChannelClientTest, ASocketOfAnotherUserIsNotTalkedTo) {
    if (::geteuid() != 0) GTEST_SKIP() << "a socket of a second user needs root";
    TempDir dir;
    // Someone else's listener at our path answers everything with OK.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, SocketPath(dir).c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(fd, 4), 0);
    ASSERT_EQ(::chown(SocketPath(dir).c_str(), kNobody, kNobody), 0);
    const ProgramResult status = RunClock({"--status"}, ClockEnv(dir), 20000);
    ::close(fd);
    EXPECT_EQ(status.exitCode, 3) << status.err;
    EXPECT_NE(status.err.find("Tolvenmark Clock is not running.\n"), std::string::npos) << status.err;
    EXPECT_NE(status.err.find("not a socket of this user"), std::string::npos) << status.err;
}

class NotRunningTest : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(NotRunningTest, SaysSoWithStatus3) {
    TempDir dir;
    const ProgramResult result = RunClock(GetParam(), ClockEnv(dir), 20000);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.err, "Tolvenmark Clock is not running.\n");
    EXPECT_EQ(result.out, "");
}

INSTANTIATE_TEST_SUITE_P(Commands, NotRunningTest,
                         ::testing::Values(std::vector<std::string>{"--show"}, std::vector<std::string>{"--snooze"},
                                           std::vector<std::string>{"--alarm-on"},
                                           std::vector<std::string>{"--alarm-off"},
                                           std::vector<std::string>{"--quit"}, std::vector<std::string>{"--status"},
                                           std::vector<std::string>{"--set-alarm", "1/2/2027", "7:00"}));

class BadArgumentsTest : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(BadArgumentsTest, UsageWithStatus2) {
    TempDir dir;
    // Before any display is needed.
    auto env = ClockEnv(dir);
    env.insert({{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
    const ProgramResult result = RunClock(GetParam(), env, 20000);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err.rfind("Usage: tolvenmark-clock ", 0), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Arguments, BadArgumentsTest,
                         ::testing::Values(std::vector<std::string>{"--status", "now"},
                                           std::vector<std::string>{"--snooze", "--quit"},
                                           std::vector<std::string>{"--set-alarm"},
                                           std::vector<std::string>{"--set-alarm", "1/2/2027"},
                                           std::vector<std::string>{"--set-alarm", "1/2/2027", "7:00", "a", "b"},
                                           std::vector<std::string>{"--set-alarm", "1/2/2027", "7:00", "a\nb"},
                                           std::vector<std::string>{"--bogus"}, std::vector<std::string>{"stray"}));

}  // namespace
}  // namespace tolvenmark
