#include <unistd.h>

#include <ctime>

#include <QProcess>
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "support/wake_timer.h"

namespace tolvenmark {
namespace {

using testing::WaitForWakeTimer;
using testing::WakeTimer;

// The helper as root, where it has CAP_WAKE_ALARM, under a name of its own so
// its timer is told from other tests' helpers.
class WakeHelperTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "the helper has CAP_WAKE_ALARM only when started by root";
        ASSERT_EQ(symlink(TOLVENMARK_WAKE_EXE, program.c_str()), 0);
        helper.start(QString::fromStdString(program), {});
    }
    void TearDown() override { helper.kill(), helper.waitForFinished(); }
    std::string Ask(const std::string& line) {
        helper.write(QByteArray::fromStdString(line + "\n"));
        while (!helper.canReadLine())
            if (!helper.waitForReadyRead(10000)) return "(no answer)";
        return helper.readLine().trimmed().toStdString();
    }
    std::int64_t ArmedAt() { return WaitForWakeTimer(program).value_or(WakeTimer{}).armedAt; }

    testing::TempDir dir;
    std::string program = dir.File("wake");
    QProcess helper;
    const std::int64_t now = std::time(nullptr);
};

TEST_F(WakeHelperTest, ArmedTimerFiresAndCanBeMovedAndDisarmed) {
    ASSERT_EQ(Ask(std::to_string(now + 2)), "ok");
    EXPECT_EQ(WaitForWakeTimer(program).value_or(WakeTimer{}).clockId, 8);  // CLOCK_REALTIME_ALARM
    EXPECT_NEAR(ArmedAt(), now + 2, 1);
    EXPECT_EQ(WaitForWakeTimer(program, 15000, [](auto& t) { return t.ticks == 1; }).value_or(WakeTimer{}).ticks, 1);
    ASSERT_EQ(Ask(std::to_string(now + 3600)), "ok");
    EXPECT_NEAR(ArmedAt(), now + 3600, 2);
    ASSERT_EQ(Ask("0"), "ok");
    EXPECT_EQ(ArmedAt(), 0);
}

TEST_F(WakeHelperTest, KeepsNoPrivilegeButCapWakeAlarmAndEndsWithItsInput) {
    ASSERT_EQ(Ask(std::to_string(now + 3600)), "ok");
    const std::string status = testing::ReadFileBytes("/proc/" + std::to_string(helper.processId()) + "/status");
    for (const char* line : {"Uid:\t65534\t65534\t65534\t65534\n", "Gid:\t65534\t65534\t65534\t65534\n", "Groups:\t \n",
                             "CapInh:\t0000000000000000\n", "CapPrm:\t0000000800000000\n", "CapEff:\t0000000800000000\n",
                             "CapAmb:\t0000000000000000\n", "NoNewPrivs:\t1\n"})
        EXPECT_NE(status.find(line), std::string::npos) << line << status;
    helper.closeWriteChannel();
    ASSERT_TRUE(helper.waitForFinished(10000));
    EXPECT_EQ(helper.exitStatus() == QProcess::NormalExit ? helper.exitCode() : -1, 0);
    EXPECT_FALSE(WaitForWakeTimer(program));
}

// Anything but a plain instant is refused and leaves the timer as it was.
class RefusedLine : public WakeHelperTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(RefusedLine, IsRefusedAndTheTimerStays) {
    ASSERT_EQ(Ask(std::to_string(now + 3600)), "ok");
    EXPECT_EQ(Ask(GetParam()), "refused not a number");
    EXPECT_NEAR(ArmedAt(), now + 3600, 2);
    EXPECT_EQ(Ask("0"), "ok");  // the next line is a line of its own
}

INSTANTIATE_TEST_SUITE_P(Lines, RefusedLine,
                         ::testing::Values("", "abc", "-5", "+5", " 5", "5 ", "5\r", "0x10", "1e9", "12.5",
                                           "1234567890123456789", std::string(100000, '9'), std::string("5\0", 2)),
                         [](const auto& info) { return "Line" + std::to_string(info.index); });

}  // namespace
}  // namespace tolvenmark
