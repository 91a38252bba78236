#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <map>
#include <string>

#include <QProcess>
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "support/wake_timer.h"

namespace tolvenmark {
namespace {

using testing::ReadWakeTimer;
using testing::TempDir;
using testing::WaitForWakeTimer;
using testing::WakeTimer;

constexpr int kRealtimeAlarm = 8;

// The helper started under a name of its own, so its timer is found among
// those of other tests' helpers.
class WakeHelperTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "the helper has CAP_WAKE_ALARM only when started by root";
        ASSERT_EQ(symlink(TOLVENMARK_WAKE_EXE, program.c_str()), 0);
        helper.start(QString::fromStdString(program), {});
        ASSERT_TRUE(helper.waitForStarted());
    }
    void TearDown() override {
        helper.kill();
        helper.waitForFinished();
    }
    std::string Ask(const std::string& line) {
        helper.write(QByteArray::fromStdString(line + "\n"));
        while (!helper.canReadLine())
            if (!helper.waitForReadyRead(10000)) return "(no answer)";
        return helper.readLine().trimmed().toStdString();
    }
    std::int64_t ArmedAt() {
        const std::optional<WakeTimer> timer = ReadWakeTimer(program);
        return timer ? timer->armedAt : -1;
    }

    TempDir dir;
    std::string program = dir.File("wake");
    QProcess helper;
    const std::int64_t now = std::time(nullptr);
};

TEST_F(WakeHelperTest, ArmedTimerFiresAndCanBeMovedAndDisarmed) {
    ASSERT_EQ(Ask(std::to_string(now + 2)), "ok");
    const std::optional<WakeTimer> armed = ReadWakeTimer(program);
    ASSERT_TRUE(armed);
    EXPECT_EQ(armed->clockId, kRealtimeAlarm);
    EXPECT_NEAR(armed->armedAt, now + 2, 1);
    const std::optional<WakeTimer> fired = WaitForWakeTimer(program, [](const WakeTimer& t) { return t.ticks == 1; }, 15000);
    ASSERT_TRUE(fired);
    EXPECT_EQ(fired->ticks, 1);
    EXPECT_EQ(fired->armedAt, 0);

    ASSERT_EQ(Ask(std::to_string(now + 3600)), "ok");
    EXPECT_NEAR(ArmedAt(), now + 3600, 2);
    ASSERT_EQ(Ask("0"), "ok");
    EXPECT_EQ(ArmedAt(), 0);
}

TEST_F(WakeHelperTest, KeepsNoPrivilegeButCapWakeAlarm) {
    ASSERT_EQ(Ask("0"), "ok");  // past its start
    std::ifstream status("/proc/" + std::to_string(helper.processId()) + "/status");
    std::map<std::string, std::string> fields;
    for (std::string line; std::getline(status, line);)
        if (const auto colon = line.find(':'); colon != std::string::npos)
            fields[line.substr(0, colon)] = line.substr(std::min(line.find_first_not_of(" \t", colon + 1), line.size()));
    EXPECT_EQ(fields["CapPrm"], "0000000800000000");
    EXPECT_EQ(fields["CapEff"], "0000000800000000");
    EXPECT_EQ(fields["CapInh"], "0000000000000000");
    EXPECT_EQ(fields["CapAmb"], "0000000000000000");
    EXPECT_EQ(fields["NoNewPrivs"], "1");
    EXPECT_EQ(fields["Uid"], "65534\t65534\t65534\t65534");
    EXPECT_EQ(fields["Groups"], "");
}

TEST_F(WakeHelperTest, EndsWhenItsInputCloses) {
    ASSERT_EQ(Ask(std::to_string(now + 3600)), "ok");
    helper.closeWriteChannel();
    ASSERT_TRUE(helper.waitForFinished(10000));
    EXPECT_EQ(helper.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(helper.exitCode(), 0);
    EXPECT_FALSE(ReadWakeTimer(program));
}

// Anything but a plain instant is refused and leaves the timer as it was.
class RefusedLine : public WakeHelperTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(RefusedLine, IsRefusedAndTheTimerStays) {
    ASSERT_EQ(Ask(std::to_string(now + 3600)), "ok");
    EXPECT_EQ(Ask(GetParam()), "refused not a number");
    EXPECT_NEAR(ArmedAt(), now + 3600, 2);
    // The line after it is read as a line of its own.
    EXPECT_EQ(Ask("0"), "ok");
}

INSTANTIATE_TEST_SUITE_P(Lines, RefusedLine,
                         ::testing::Values("", "abc", "-5", "+5", " 5", "5 ", "5\r", "0x10", "1e9", "12.5",
                                           "1234567890123456789", std::string(100000, '9'),
                                           std::string("5\0", 2)));

TEST(WakeHelperUnprivileged, AnswersUnavailable) {
    QProcess helper;
    // Root is made an ordinary user without capabilities, as a user's own copy runs.
    if (geteuid() == 0)
        helper.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", "--inh-caps=-all",
                                 "--bounding-set=-all", TOLVENMARK_WAKE_EXE});
    else
        helper.start(TOLVENMARK_WAKE_EXE, {});
    ASSERT_TRUE(helper.waitForStarted());
    helper.write("1893456000\n0\n");
    helper.closeWriteChannel();
    ASSERT_TRUE(helper.waitForFinished(10000));
    EXPECT_EQ(helper.readAllStandardOutput().toStdString(),
              "unavailable no CAP_WAKE_ALARM\nunavailable no CAP_WAKE_ALARM\n");
}

}  // namespace
}  // namespace tolvenmark
