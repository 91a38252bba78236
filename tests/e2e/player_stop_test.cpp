#include <QElapsedTimer>
#include <QThread>
#include <sstream>
#include <gtest/gtest.h>

#include "support/alarm_env.h"
#include "support/program_run.h"
#include "support/recording_script.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::RunClock;

// A clock whose alarm rings in a few seconds with player as its player.
struct RingingClock {
    RingingClock(const testing::TempDir& dir, const std::string& player) : env(testing::ClockEnv(dir)) {
        env["TOLVENMARK_REPORT_TICKS"] = "1";
        env["XDG_STATE_HOME"] = dir.path();
        const auto [date, time] = testing::LocalAlarmTexts(3);
        testing::WriteFileBytes(dir.File("TOLVENMARKCLOCK.INI"),
                                "[ALARM]\nAPPPATH=" + dir.path() + "\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\nSKIN=Default\nALSET=TRUE" +
                                    "\nALDATE=" + date + "\nALTIME=" + time + "\nMTYPE=Other File Format\nALFILE=" +
                                    dir.File("song.ogg") + "\nPLAYER=CUSTOM\nCUSTOM=" + player +
                                    "\nSNOOZE=Yes\nSNOOZEMIN=5\nCHANGEALARM=No\nDELETEALARM=No\n");
        clock = std::make_unique<testing::RunningClock>(std::vector<std::string>{}, env);
    }
    bool StatusShows(const std::string& text) {
        QElapsedTimer waited;
        waited.start();
        while (RunClock({"--status"}, env, 20000).out.find(text) == std::string::npos)
            if (waited.elapsed() > 15000) return false; else QThread::msleep(100);
        return true;
    }
    // Waits, reading what the clock writes meanwhile (text that never comes).
    void Pass(int ms) { clock->WaitForError("\n\n\n", ms); }
    int LateTicksSinceTheAlarm() {  // the first tick after the start is not on its second
        int late = 0;
        const std::string err = clock->Error();
        std::istringstream lines(err.substr(std::min(err.find("Alarm due:"), err.size())));
        for (std::string word; lines >> word;)
            if (word == "tick-ns" && lines >> word) late += std::stoll(word) % 1000000000 > 52000000;
        return late;
    }

    std::map<std::string, std::string> env;
    std::unique_ptr<testing::RunningClock> clock;
};

// Players whose sound goes on in a process the player's group does not hold
// (HELPER: the file for its id), or that is deaf to SIGTERM. Each way of
// silencing the clock ends it without holding up a tick.
class PlayerStopTest : public ::testing::TestWithParam<std::tuple<const char*, const char*, const char*>> {};

TEST_P(PlayerStopTest, EndsTheProcessThatPlays) {
    testing::TempDir dir;
    std::string script = std::get<1>(GetParam());
    script.replace(script.find("HELPER"), 6, dir.File("helper"));
    testing::RecordingScript player(dir.path(), "player.sh", script);
    RingingClock ringing(dir, player.path());
    ASSERT_TRUE(player.WaitForCalls(1, 15000)) << ringing.clock->Error();
    ringing.Pass(2000);  // the player hands over and ends; a tick or two pass
    const pid_t helper = std::stoi(testing::ReadFileBytes(dir.File("helper")));
    ASSERT_TRUE(testing::ProcessAlive(helper));
    EXPECT_TRUE(ringing.StatusShows("player=running\n"));

    const std::string command = std::get<2>(GetParam());
    EXPECT_EQ(RunClock({command}, ringing.env, 20000).exitCode, 0);
    for (int i = 0; i < 100 && testing::ProcessAlive(helper); ++i) QThread::msleep(50);
    EXPECT_FALSE(testing::ProcessAlive(helper));
    if (command == "--quit") EXPECT_TRUE(ringing.clock->WaitForEnd(10000));
    if (command != "--quit") EXPECT_TRUE(ringing.StatusShows("player=stopped\n"));
    if (command != "--quit") ringing.Pass(2500);  // the ticks after the stop, past a SIGKILL's second
    EXPECT_EQ(ringing.LateTicksSinceTheAlarm(), 0) << ringing.clock->Error();
}

INSTANTIATE_TEST_SUITE_P(
    Players, PlayerStopTest,
    ::testing::Values(
        std::make_tuple("ignores_term_off", "trap '' TERM; echo $$ > 'HELPER'; while :; do sleep 0.05; done", "--alarm-off"),
        std::make_tuple("setsid_helper_snooze", "setsid sleep 60 & echo $! > 'HELPER'; wait", "--snooze"),
        std::make_tuple("daemon_ignoring_term_off",
                        "setsid sh -c 'trap \"\" TERM; echo $$ > \"HELPER\"; exec sleep 60' & exit 0", "--alarm-off"),
        std::make_tuple("double_fork_quit", "(setsid sh -c 'sleep 60 & echo $! > \"HELPER\"' &); exit 0", "--quit")),
    [](const auto& info) { return std::string(std::get<0>(info.param)); });

TEST(PlayerOutputTest, APlayerThatEndsAtOnceIsReportedAndItsOutputLogged) {
    testing::TempDir dir;
    testing::RecordingScript player(dir.path(), "player.sh", "echo decoding; echo 'no audio device' >&2; exit 2");
    RingingClock ringing(dir, player.path());
    EXPECT_TRUE(ringing.clock->WaitForError("Warning: The alarm could not be played.", 15000)) << ringing.clock->Error();
    EXPECT_NE(ringing.clock->Error().find("no audio device"), std::string::npos);  // the reason, in the box
    EXPECT_EQ(ringing.clock->Error().find("decoding"), std::string::npos);
    EXPECT_NE(testing::ReadFileBytes(dir.File("tolvenmark/player.log")).find("decoding\nno audio device\n"),
              std::string::npos);
    EXPECT_TRUE(ringing.StatusShows("player=stopped\n"));
}

}  // namespace
}  // namespace tolvenmark
