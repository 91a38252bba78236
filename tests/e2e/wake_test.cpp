#include <sys/stat.h>
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

// A clock whose wake helper runs under a name of its own; as root, where the
// helper has CAP_WAKE_ALARM and its timer can be read.
class WakeClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "the wake helper works, and is seen, as root only";
        ASSERT_EQ(symlink(TOLVENMARK_WAKE_EXE, helper.c_str()), 0);
        env["TOLVENMARK_WAKE_HELPER"] = helper;
    }
    // A pending alarm alarmIn seconds ahead, its instant returned; ringing:
    // with a player to start and snooze.
    std::int64_t Start(int alarmIn, bool ringing = false) {
        const std::int64_t at = std::time(nullptr) + alarmIn;
        const auto [date, time] = testing::LocalAlarmTextsAt(at);
        testing::WriteFileBytes(dir.File("TOLVENMARKCLOCK.INI"),
                                "[ALARM]\nAPPPATH=" + dir.path() + "\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\nSKIN=Default\n"
                                "ALSET=TRUE\nALHEADER=Wake\nALDATE=" + date + "\nALTIME=" + time + "\nSNOOZE=Yes\nSNOOZEMIN=5\n" +
                                (ringing ? "MTYPE=Other File Format\nALFILE=song.ogg\nPLAYER=CUSTOM\nCUSTOM=" + player.path() : ""));
        clock = std::make_unique<testing::RunningClock>(std::vector<std::string>{}, env);
        return at;
    }
    void Ctl(const std::vector<std::string>& args) { ASSERT_EQ(testing::RunClock(args, env).exitCode, 0); }
    // The helper's timer, once armed within [from, to] seconds (0: disarmed).
    void ExpectArmedWithin(std::int64_t from, std::int64_t to) {
        const auto timer = testing::WaitForWakeTimer(helper, 20000, [&](auto& t) { return t.armedAt >= from && t.armedAt <= to; });
        EXPECT_TRUE(timer && timer->clockId == 8 && timer->armedAt >= from && timer->armedAt <= to)
            << (timer ? timer->armedAt - from : -1) << clock->Error();
    }

    testing::TempDir dir;
    std::string helper = dir.File("wake");
    std::map<std::string, std::string> env = testing::ClockEnv(dir);
    testing::RecordingScript player{dir.path(), "player.sh"};
    std::unique_ptr<testing::RunningClock> clock;
};

TEST_F(WakeClockTest, PendingAlarmWakesAMinuteEarlyAndFollowsTheAlarm) {
    const std::int64_t alarm = Start(3600);
    ExpectArmedWithin(alarm - 61, alarm - 59);
    const std::int64_t later = std::time(nullptr) + 7200;
    const auto [date, time] = testing::LocalAlarmTextsAt(later);
    Ctl({"--set-alarm", date, time});
    ExpectArmedWithin(later - 61, later - 59);
    Ctl({"--alarm-off"});
    ExpectArmedWithin(0, 0);
}

TEST_F(WakeClockTest, SnoozeWakesForTheRelaunch) {
    Start(3, true);
    ASSERT_TRUE(player.WaitForCalls(1, 15000)) << clock->Error();
    const std::int64_t before = std::time(nullptr);
    Ctl({"--snooze"});
    const std::int64_t after = std::time(nullptr);
    ExpectArmedWithin(before + 239, after + 241);  // 5 minutes, less the lead minute
}

// A helper without the capability, as a plain build or a user's own copy has.
TEST_F(WakeClockTest, WithoutTheCapabilityTheAlarmStillRings) {
    const std::string plain = helper + "-plain", answers = dir.File("answers");
    testing::WriteFileBytes(plain, "#!/bin/sh\nsetpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all "
                                   "--bounding-set=-all " TOLVENMARK_WAKE_EXE " | tee " + answers + "\n");
    chmod(plain.c_str(), 0755);
    env["TOLVENMARK_WAKE_HELPER"] = plain;
    Start(3, true);
    ASSERT_TRUE(player.WaitForCalls(1, 15000)) << clock->Error();
    for (int i = 0; i < 100 && testing::ReadFileBytes(answers).empty(); ++i) usleep(100000);
    // nobody is refused before the capability is tried; either way, unavailable.
    EXPECT_EQ(testing::ReadFileBytes(answers), "unavailable not for a system account\n");
    EXPECT_TRUE(clock->Running());
}

}  // namespace
}  // namespace tolvenmark
