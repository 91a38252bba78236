#include <unistd.h>

#include <ctime>

#include <gtest/gtest.h>

#include "support/alarm_env.h"
#include "support/program_run.h"
#include "support/recording_script.h"
#include "support/temp_dir.h"
#include "support/wake_timer.h"

namespace tolvenmark {
namespace {

using testing::ClockEnv;
using testing::LocalAlarmTexts;
using testing::RecordingScript;
using testing::RunClock;
using testing::RunningClock;
using testing::TempDir;
using testing::WaitForWakeTimer;
using testing::WakeTimer;
using testing::WriteFileBytes;

// A clock whose wake helper runs under a name of its own.
class WakeClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "the helper has CAP_WAKE_ALARM, and its timer can be read, as root only";
        ASSERT_EQ(symlink(TOLVENMARK_WAKE_EXE, helper.c_str()), 0);
        env["TOLVENMARK_WAKE_HELPER"] = helper;
    }
    void Start(const std::string& date, const std::string& time, const std::string& more = "") {
        WriteFileBytes(dir.File("TOLVENMARKCLOCK.INI"),
                       "[ALARM]\nAPPPATH=" + dir.path() + "\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\n"
                       "SKIN=Default\nALSET=TRUE\nALHEADER=Wake\nALDATE=" + date + "\nALTIME=" + time + "\n" + more);
        clock = std::make_unique<RunningClock>(std::vector<std::string>{}, env);
    }
    void Ctl(const std::vector<std::string>& args) {
        const auto result = RunClock(args, env, 20000);
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }
    // The helper's timer once it is armed near `at` (0: disarmed).
    std::int64_t ArmedNear(std::int64_t at) {
        const auto timer = WaitForWakeTimer(
            helper, [at](const WakeTimer& t) { return at ? std::llabs(t.armedAt - at) <= 2 : t.armedAt == 0; }, 20000);
        if (!timer) return -1;
        EXPECT_EQ(timer->clockId, 8);
        return timer->armedAt;
    }

    TempDir dir;
    std::string helper = dir.File("wake");
    std::map<std::string, std::string> env = ClockEnv(dir);
    std::unique_ptr<RunningClock> clock;
};

TEST_F(WakeClockTest, PendingAlarmWakesAMinuteEarlyAndFollowsTheAlarm) {
    const std::int64_t now = std::time(nullptr);
    const auto [date, time] = LocalAlarmTexts(3600);
    Start(date, time);
    EXPECT_NEAR(ArmedNear(now + 3540), now + 3540, 2) << clock->Error();

    const auto [later, laterTime] = LocalAlarmTexts(7200);
    Ctl({"--set-alarm", later, laterTime});
    EXPECT_NEAR(ArmedNear(now + 7140), now + 7140, 2) << clock->Error();

    Ctl({"--alarm-off"});
    EXPECT_EQ(ArmedNear(0), 0) << clock->Error();
}

TEST_F(WakeClockTest, SnoozeWakesForTheRelaunch) {
    RecordingScript player(dir.path(), "player.sh");
    const auto [date, time] = LocalAlarmTexts(3);
    Start(date, time,
          "MTYPE=Other File Format\nALFILE=" + dir.File("song.ogg") + "\nPLAYER=CUSTOM\nCUSTOM=" + player.path() +
              "\nSNOOZE=Yes\nSNOOZEMIN=5\nCHANGEALARM=No\nDELETEALARM=No\n");
    ASSERT_TRUE(player.WaitForCalls(1, 15000)) << clock->Error();
    const std::int64_t snoozed = std::time(nullptr);
    Ctl({"--snooze"});
    EXPECT_NEAR(ArmedNear(snoozed + 240), snoozed + 240, 2) << clock->Error();
}

// A helper without the capability, as a plain build or a user's own copy has.
TEST_F(WakeClockTest, WithoutTheCapabilityTheAlarmStillRings) {
    const std::string answers = dir.File("answers");
    WriteFileBytes(helper + "-plain", "#!/bin/sh\nsetpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all "
                                      "--bounding-set=-all " TOLVENMARK_WAKE_EXE " | tee " + answers + "\n");
    chmod((helper + "-plain").c_str(), 0755);
    env["TOLVENMARK_WAKE_HELPER"] = helper + "-plain";
    RecordingScript player(dir.path(), "player.sh");
    const auto [date, time] = LocalAlarmTexts(3);
    Start(date, time, "MTYPE=Other File Format\nALFILE=" + dir.File("song.ogg") + "\nPLAYER=CUSTOM\nCUSTOM=" +
                          player.path() + "\nCHANGEALARM=No\nDELETEALARM=No\n");
    ASSERT_TRUE(player.WaitForCalls(1, 15000)) << clock->Error();
    for (int i = 0; i < 100 && testing::ReadFileBytes(answers).empty(); ++i) usleep(100000);
    EXPECT_EQ(testing::ReadFileBytes(answers), "unavailable no CAP_WAKE_ALARM\n");
    EXPECT_TRUE(clock->Running());
}

}  // namespace
}  // namespace tolvenmark
