#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <chrono>
#include <cstring>
#include <gtest/gtest.h>

#include "support/alarm_env.h"
#include "support/program_run.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::RunClock;
using testing::RunningClock;
using testing::TempDir;
using testing::WriteFileBytes;

std::map<std::string, std::string> Env(const TempDir& dir) { return testing::ClockEnv(dir); }
std::pair<std::string, std::string> LocalTexts(int secondsAhead) { return testing::LocalAlarmTexts(secondsAhead); }

void WriteConfig(const TempDir& dir, const std::string& date, const std::string& time,
                 const std::string& alSet = "TRUE") {
    WriteFileBytes(dir.File("TOLVENMARKCLOCK.INI"), "[ALARM]\nAPPPATH=" + dir.path() +
                                                        "\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\nSKIN=Default\n"
                                                        "ALSET=" + alSet + "\nALHEADER=Wake\nALDATE=" + date +
                                                        "\nALTIME=" + time + "\n");
}

TEST(ClockRunTest, AlarmTwoSecondsAheadIsSeenDue) {
    TempDir dir;
    const auto [date, time] = LocalTexts(2);
    WriteConfig(dir, date, time);
    RunningClock clock({}, Env(dir));
    EXPECT_TRUE(clock.WaitForError("Alarm due: Wake (" + date + " at " + time + ")\n", 10000)) << clock.Error();
    EXPECT_TRUE(clock.Running());
    // Once only.
    QThread::msleep(1500);
    const std::string err = clock.Error();
    EXPECT_EQ(err.find("Alarm due:"), err.rfind("Alarm due:")) << err;
}

TEST(ClockRunTest, SecondCopyEndsAtOnceAndTheFirstKeepsRunning) {
    TempDir dir;
    WriteConfig(dir, "1/1/2099", "7:00:00 AM");
    RunningClock first({}, Env(dir));
    // The first copy listens once its start-up is through.
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(QString::fromStdString(dir.File("tolvenmark-clock.socket"))) &&
           waited.elapsed() < 10000)
        QThread::msleep(50);
    const auto second = RunClock({}, Env(dir), 10000);
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_TRUE(first.Running()) << first.Error();
}

// A copy still starting holds the lock but does not listen; a stopped one
// listens (the system queues connections) but never answers. A new start
// waits a while, then gives up and says so: never status 0, never a hang.
class LockHolderTest : public ::testing::TestWithParam<bool> {};

TEST_P(LockHolderTest, SilentHolderGivesUpAndSaysSo) {
    TempDir dir;
    WriteConfig(dir, "1/1/2099", "7:00:00 AM");
    const int lock = ::open(dir.File("tolvenmark-clock.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (GetParam()) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, dir.File("tolvenmark-clock.socket").c_str(), sizeof address.sun_path - 1);
        ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(::listen(listener, 4), 0);
    }
    const auto second = RunClock({}, Env(dir), 60000);
    ::close(listener);
    ::close(lock);
    EXPECT_EQ(second.exitCode, 1) << second.err;
    EXPECT_NE(second.err.find("another copy of the clock runs but does not answer\n"), std::string::npos) << second.err;
}

INSTANTIATE_TEST_SUITE_P(NoSocketOrSilent, LockHolderTest, ::testing::Bool());

TEST(ClockRunTest, SocketLeftByADeadCopyIsTakenOver) {
    TempDir dir;
    WriteConfig(dir, "1/1/2099", "7:00:00 AM");
    // A socket file nobody listens on, as a killed copy leaves it.
    const std::string path = dir.File("tolvenmark-clock.socket");
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);

    RunningClock first({}, Env(dir));
    QThread::msleep(1500);
    EXPECT_TRUE(first.Running()) << first.Error();
    const auto second = RunClock({}, Env(dir), 10000);
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_TRUE(first.Running());
}

}  // namespace
}  // namespace tolvenmark
