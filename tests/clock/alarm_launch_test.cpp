#include "clock/alarm_launch.h"

#include <chrono>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "clock/config.h"
#include "support/recording_script.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"
#include "support/stand_in_internet.h"

namespace tolvenmark {
namespace {

using ::testing::ElementsAre;
using testing::ProcessAlive;
using testing::RecordingScript;
using testing::ScriptedPrompts;
using testing::TempDir;

// A stop returns at once; the process ends soon after.
bool EndsSoon(Launcher& launcher, pid_t pid) {
    for (int i = 0; i < 500 && ProcessAlive(pid); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !ProcessAlive(pid) && (launcher.Service(), true);
}

// A window timer: its interval and whether it runs.
struct TestTimer final : LaunchTimer {
    void SetInterval(int ms) override { interval = ms; }
    int Interval() const override { return interval; }
    void SetEnabled(bool on) override { enabled = on; }
    bool Enabled() const override { return enabled; }
    int interval = 1000;
    bool enabled = false;
};

struct TestHost final : LaunchHost {
    LaunchTimer& Timer2() override { return timer2; }
    LaunchTimer& Timer3() override { return timer3; }
    InternetSetupActions& InternetSetup() override { return internet; }
    void Beep() override { events.push_back("beep"); }
    void BringToFront() override { events.push_back("front"); }
    void UpdateAlarm() override { ++updates; }
    void Ringing(bool on) override { events.push_back(on ? "ringing" : "quiet"); }
    TestTimer timer2, timer3;
    testing::StandInInternet internet;
    std::vector<std::string> events;
    int updates = 0;
};

class AlarmLaunchTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetConfigPath(dir.File("TOLVENMARKCLOCK.INI"));
        WriteConfigKey("WMP", player.path());
        WriteConfigKey("PLAYER", "WMP");
        WriteConfigKey("MTYPE", "MP3");
        WriteConfigKey("ALFILE", song);
        testing::WriteFileBytes(song, "ID3");
    }
    void TearDown() override {
        if (launch.PlayerStarted()) launcher.Stop(launch.Player());
    }
    // The tick found the alarm due; Timer3 then fires.
    void Fire() {
        launch.SetupAlarm();
        ASSERT_TRUE(host.timer3.enabled);
        launch.Timer3Timer();
    }

    TempDir dir;
    RecordingScript player{dir.path(), "player"};
    std::string song = dir.File("wake up 'now' $(id).mp3");
    TestHost host;
    Launcher launcher;
    ScriptedPrompts prompts;
    AlarmLaunch launch{host, launcher, prompts, SystemLookups({ReadConfigKey, WriteConfigKey})};
};

const std::string kNotStarted = std::string("Warning: ") + kAlarmNotStarted;
const std::string kNoPlayer = std::string("Warning: ") + kNoPlayerSelected;
const std::string kNotPlayed = std::string("Warning: ") + kAlarmNotPlayed;

struct Matrix {
    const char* name;
    const char* mediaType;
    const char* playerCode;
    const char* slot;    // "script", "missing", "failing" or a path
    const char* alFile;  // "song", "gone" or as stored
    std::vector<std::string> args;  // recorded, when started
    const char* prompt;             // "" when started
};
void PrintTo(const Matrix& m, std::ostream* os) { *os << m.name; }

class LaunchMatrixTest : public AlarmLaunchTest, public ::testing::WithParamInterface<Matrix> {};

TEST_P(LaunchMatrixTest, StartsOrSays) {
    const Matrix& m = GetParam();
    WriteConfigKey("MTYPE", m.mediaType);
    WriteConfigKey("PLAYER", m.playerCode);
    const std::string slot = m.slot;
    if (slot == "missing") WriteConfigKey("WMP", dir.File("no player"));
    if (slot == "failing") {
        RecordingScript failing(dir.path(), "failing", "exit 2");
        WriteConfigKey("WMP", failing.path());
    }
    const std::string alFile = m.alFile;
    WriteConfigKey("ALFILE", alFile == "song" ? song : alFile == "gone" ? dir.File("gone.mp3") : alFile);
    Fire();
    if (std::string(m.prompt) == kNotPlayed) {
        // Told once the player has ended, not while the launch runs.
        EXPECT_TRUE(prompts.shown.empty());
        EXPECT_TRUE(launcher.WaitIdle(5000));
        launch.CheckPlayer();
    }
    std::vector<std::string> expected = m.args;
    for (std::string& a : expected)
        if (a == "song") a = song;
    if (std::string(m.prompt).empty()) {
        ASSERT_TRUE(player.WaitForCalls(1));
        EXPECT_EQ(player.Calls()[0].args, expected);
        EXPECT_TRUE(launch.PlayerStarted());
        EXPECT_TRUE(prompts.shown.empty());
    } else {
        EXPECT_THAT(prompts.shown, ElementsAre(m.prompt));
        EXPECT_FALSE(launch.PlayerStarted());
        EXPECT_TRUE(player.Calls().empty());
    }
    EXPECT_FALSE(host.timer3.enabled);
    EXPECT_EQ(host.updates, 1);  // whatever the outcome
}

INSTANTIATE_TEST_SUITE_P(
    Launch, LaunchMatrixTest,
    ::testing::Values(
        Matrix{"mp3_needs_no_connection", "MP3", "WMP", "script", "song", {"song"}, ""},
        Matrix{"other_format", "Other File Format", "WMP", "script", "song", {"song"}, ""},
        Matrix{"vcd_path", "VCD", "WMP", "script", "song", {"song"}, ""},
        Matrix{"empty_alfile", "MP3", "WMP", "script", "", {}, ""},
        Matrix{"missing_file_gives_no_argument", "MP3", "WMP", "script", "gone", {}, ""},
        Matrix{"cd_audio_unchanged", "CD Audio", "WMP", "script", "cda://D,1", {"cda://D,1"}, ""},
        Matrix{"dvd_unchanged", "DVD", "WMP", "script", "dvd:///dev/sr0", {"dvd:///dev/sr0"}, ""},
        Matrix{"unknown_player", "MP3", "MPLAYER", "script", "song", {}, kNoPlayer.c_str()},
        Matrix{"missing_player_file", "MP3", "WMP", "missing", "song", {}, kNotStarted.c_str()},
        Matrix{"player_fails_at_once", "MP3", "WMP", "failing", "song", {}, kNotPlayed.c_str()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AlarmLaunchTest, RadioAddressReachesThePlayerUnchangedOverLan) {
    WriteConfigKey("MTYPE", "Internet Radio Station");
    WriteConfigKey("ICONNECT", "Local Area Network (LAN)");
    WriteConfigKey("ALFILE", "http://radio.example/live?x=1&y='2'");
    Fire();
    ASSERT_TRUE(player.WaitForCalls(1));
    EXPECT_THAT(player.Calls()[0].args, ElementsAre("http://radio.example/live?x=1&y='2'"));
    EXPECT_THAT(host.internet.calls, ElementsAre("hide"));
}

TEST_F(AlarmLaunchTest, RadioWaitsForTheDialAndGoesOnWhenConnected) {
    WriteConfigKey("MTYPE", "Internet Radio Station");
    WriteConfigKey("ICONNECT", "My ISP");
    WriteConfigKey("WAIT", "30");
    WriteConfigKey("ALFILE", "http://radio.example/live");
    launch.SetupAlarm();
    EXPECT_THAT(host.internet.calls, ElementsAre("show", "dial"));
    EXPECT_EQ(host.timer3.interval, 30000);
    host.internet.state = 8192;
    launch.Timer3Timer();
    ASSERT_TRUE(player.WaitForCalls(1));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(AlarmLaunchTest, RadioStillNotConnectedIsStoppedWithAWarning) {
    WriteConfigKey("MTYPE", "Internet Radio Station");
    WriteConfigKey("ICONNECT", "My ISP");
    WriteConfigKey("ALFILE", "http://radio.example/live");
    launch.SetupAlarm();
    EXPECT_EQ(host.timer3.interval, 60000);
    launch.Timer3Timer();
    EXPECT_THAT(prompts.shown, ElementsAre(std::string("Warning: ") + kNoConnectionWarning));
    EXPECT_TRUE(player.Calls().empty());
    EXPECT_FALSE(host.timer3.enabled);
    EXPECT_EQ(host.updates, 1);
}

TEST_F(AlarmLaunchTest, TextMessageBeepsShowsAndComesToTheFront) {
    WriteConfigKey("MTYPE", "Text Message");
    WriteConfigKey("ALFILE", "Meeting at ten");
    WriteConfigKey("ICONNECT", "My ISP");
    Fire();
    EXPECT_THAT(host.events, ElementsAre("beep", "front"));
    EXPECT_THAT(prompts.shown, ElementsAre("Tolvenmark Clock: Meeting at ten"));
    EXPECT_FALSE(launch.PlayerStarted());
    EXPECT_EQ(host.updates, 1);
}

TEST_F(AlarmLaunchTest, NetworkMessageRunsTheCommandLineAsIs) {
    RecordingScript net(dir.path(), "net", "exit 0");
    WriteConfigKey("MTYPE", "Network Message");
    WriteConfigKey("ALFILE", net.path() + " send BOX \"time to go\"");
    Fire();
    ASSERT_TRUE(net.WaitForCalls(1));
    EXPECT_THAT(net.Calls()[0].args, ElementsAre("send", "BOX", "time to go"));
    EXPECT_THAT(prompts.shown, ElementsAre("Information: Network message sent."));
    EXPECT_FALSE(launch.PlayerStarted());
}

// Snooze sequences with a real player process.
class SnoozeTest : public AlarmLaunchTest {
protected:
    void SetUp() override {
        AlarmLaunchTest::SetUp();
        WriteConfigKey("SNOOZE", "Yes");
        WriteConfigKey("SNOOZEMIN", "10");
    }
    pid_t Started() {
        Fire();
        EXPECT_TRUE(player.WaitForCalls(1));
        return player.Calls().at(0).pid;
    }
};

TEST_F(SnoozeTest, DisabledSaysSoAndLeavesThePlayer) {
    WriteConfigKey("SNOOZE", "No");
    const pid_t pid = Started();
    launch.Snooze();
    EXPECT_THAT(prompts.shown, ElementsAre("Information: The Snooze feature is not enabled in Alarm Settings."));
    EXPECT_TRUE(ProcessAlive(pid));
    EXPECT_FALSE(host.timer2.enabled);
}

TEST_F(SnoozeTest, NothingStarted) {
    launch.Snooze();
    EXPECT_THAT(prompts.shown, ElementsAre("Information: No alarm was started to Snooze!"));
    WriteConfigKey("MTYPE", "Text Message");
    Fire();
    prompts.shown.clear();
    launch.Snooze();  // a message never counts as started
    EXPECT_THAT(prompts.shown, ElementsAre("Information: No alarm was started to Snooze!"));
}

TEST_F(SnoozeTest, StopsThePlayerAndRelaunchesWithoutTheSuccession) {
    const pid_t pid = Started();
    launch.Snooze();
    EXPECT_TRUE(EndsSoon(launcher, pid));
    EXPECT_FALSE(launch.PlayerStarted());
    EXPECT_TRUE(host.timer2.enabled);
    EXPECT_EQ(host.timer2.interval, 600000);
    launch.Snooze();  // twice before the relaunch
    EXPECT_THAT(prompts.shown, ElementsAre("Information: No alarm was started to Snooze!"));

    launch.Timer2Timer();
    launch.Timer2Timer();  // a late tick: two relaunches wait together, still no succession
    EXPECT_EQ(host.timer3.interval, 1000);
    launch.Timer3Timer();
    ASSERT_TRUE(player.WaitForCalls(2));
    EXPECT_EQ(player.Calls()[1].args, player.Calls()[0].args);
    EXPECT_TRUE(ProcessAlive(player.Calls()[1].pid));
    EXPECT_FALSE(host.timer2.enabled);
    EXPECT_EQ(host.updates, 1);  // the next saved alarm stays pending

    // A new due alarm afterwards runs it again.
    launch.Snooze();
    Fire();
    EXPECT_EQ(host.updates, 2);
}

TEST_F(SnoozeTest, ADueAlarmAndARelaunchWaitingTogetherStillMoveOn) {
    // Either order: the one launch they share is the due alarm's.
    for (bool dueFirst : {false, true}) {
        SCOPED_TRACE(dueFirst ? "due alarm first" : "relaunch first");
        const int before = host.updates;
        Started();
        launch.Snooze();
        if (dueFirst) {
            launch.SetupAlarm();
            launch.Timer2Timer();
        } else {
            launch.Timer2Timer();
            launch.SetupAlarm();
        }
        launch.Timer3Timer();
        EXPECT_EQ(host.updates, before + 2);
        launcher.Stop(launch.Player());  // the next round starts a player of its own
    }
}

// Switching the alarm off in each state of a launch: nothing comes back but a due launch.
struct StopCase {
    std::vector<std::string> steps;  // fire, snooze, timer2, due
    bool timer3After;
};

class StopTest : public SnoozeTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopTest, SilencesAndCancels) {
    for (const std::string& step : GetParam().steps) {
        if (step == "fire") Started();
        if (step == "snooze") launch.Snooze();
        if (step == "timer2") launch.Timer2Timer();
        if (step == "due") launch.SetupAlarm();
    }
    launch.Stop();
    EXPECT_FALSE(host.timer2.enabled);
    EXPECT_EQ(host.timer3.enabled, GetParam().timer3After);
    for (const auto& call : player.Calls()) EXPECT_TRUE(EndsSoon(launcher, call.pid));
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(host.events.empty() || host.events.back() == "quiet");
}

INSTANTIATE_TEST_SUITE_P(States, StopTest,
                         ::testing::Values(StopCase{{"fire"}, false}, StopCase{{"fire", "snooze"}, false},
                                           StopCase{{"fire", "snooze", "timer2"}, false}, StopCase{{"due"}, true},
                                           StopCase{{"fire", "due"}, true}));

TEST_F(SnoozeTest, ASecondAlarmEndsTheFirstPlayer) {
    const pid_t first = Started();
    Fire();
    ASSERT_TRUE(player.WaitForCalls(2));
    EXPECT_TRUE(EndsSoon(launcher, first));
    EXPECT_TRUE(launch.PlayerRunning());
    EXPECT_TRUE(ProcessAlive(player.Calls()[1].pid));
}

// The sound of Test Alarm, started beside the alarm's launch, ends with each
// way of silencing the clock, and counts as a running player meanwhile.
class TestSoundTest : public SnoozeTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TestSoundTest, EndsWithoutABox) {
    RecordingScript test(dir.path(), "test player");
    ASSERT_TRUE(launcher.Start(test.path(), song));
    ASSERT_TRUE(test.WaitForCalls(1));
    EXPECT_TRUE(launch.AnyPlayerRunning());
    if (std::string(GetParam()) == "snooze") launch.Snooze();
    if (std::string(GetParam()) == "stop") launch.Stop();
    EXPECT_TRUE(EndsSoon(launcher, test.Calls()[0].pid));
    EXPECT_FALSE(launch.AnyPlayerRunning());
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_FALSE(host.timer2.enabled);  // nothing to bring back
}

INSTANTIATE_TEST_SUITE_P(Ways, TestSoundTest, ::testing::Values("snooze", "stop"));

TEST_F(SnoozeTest, ClosesTheConnectionOnlyWhenAskedAndConnected) {
    Started();
    WriteConfigKey("CLOSECONN", "Yes");
    launch.Snooze();
    EXPECT_THAT(host.internet.calls, ElementsAre("hide"));  // not connected

    launch.Timer2Timer();
    launch.Timer3Timer();
    host.internet.state = 8192;
    WriteConfigKey("CLOSECONN", "No");
    launch.Snooze();
    EXPECT_THAT(host.internet.calls, ElementsAre("hide", "hide"));

    launch.Timer2Timer();
    launch.Timer3Timer();
    WriteConfigKey("CLOSECONN", "Yes");
    launch.Snooze();
    EXPECT_THAT(host.internet.calls, ElementsAre("hide", "hide", "hide", "disconnect"));
}

TEST_F(SnoozeTest, UnknownPlayerRefusesAndKeepsThePlayerNoPlayerTickedSnoozes) {
    const pid_t pid = Started();
    WriteConfigKey("PLAYER", "MPLAYER");
    launch.Snooze();
    EXPECT_THAT(prompts.shown, ElementsAre(std::string("Warning: ") + kNoPlayerSelected));
    EXPECT_TRUE(ProcessAlive(pid));
    EXPECT_TRUE(launch.PlayerStarted());
    WriteConfigKey("PLAYER", "");  // the first player found, snoozed as any other
    launch.Snooze();
    EXPECT_TRUE(host.timer2.enabled);
}

}  // namespace
}  // namespace tolvenmark
