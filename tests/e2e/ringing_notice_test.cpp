#include <functional>
#include <map>
#include <memory>
#include <sstream>

#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include "clock/config.h"
#include "support/alarm_env.h"
#include "support/mock_notifications.h"
#include "support/program_run.h"
#include "support/recording_script.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ProcessAlive;
using testing::RecordingScript;
using testing::RunClock;
using testing::TempDir;

bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > 15000) return false;
        QThread::msleep(50);
    }
    return true;
}

// A day with the clock on a desktop that shows notifications: an alarm rings
// through a launcher script that hands the playing to a helper and exits.
class RingingDayTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (server.Address().empty()) GTEST_SKIP() << "dbus-daemon or python3-dbusmock is missing";
        const auto [date, time] = testing::LocalAlarmTexts(4);
        SetConfigPath(dir.File("TOLVENMARKCLOCK.INI"));
        testing::WriteFileBytes(dir.File("song.ogg"), "OggS");
        testing::WriteFileBytes(ConfigPath(), "[ALARM]\nAPPPATH=" + dir.path() +
                                                  "\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\nSKIN=Default\n"
                                                  "ALSET=TRUE\nALHEADER=Wake\nALDATE=" + date + "\nALTIME=" + time +
                                                  "\nMTYPE=Other File Format\nALFILE=" + dir.File("song.ogg") +
                                                  "\nPLAYER=CUSTOM\nCUSTOM=" + player.path() +
                                                  "\nSNOOZE=Yes\nSNOOZEMIN=1\nCHANGEALARM=No\nDELETEALARM=No\n");
        env["DBUS_SESSION_BUS_ADDRESS"] = server.Address();
        clock = std::make_unique<testing::RunningClock>(std::vector<std::string>{}, env);
        ringsAt = date + " at " + time;
    }
    int Ctl(const std::vector<std::string>& args) { return RunClock(args, env, 20000).exitCode; }
    bool StatusShows(const std::string& text) {
        return WaitFor([&] { return RunClock({"--status"}, env, 20000).out.find(text) != std::string::npos; });
    }
    // Sets the next alarm a few seconds ahead; the helper of its ring.
    std::string SetAlarm() {
        const auto [date, time] = testing::LocalAlarmTexts(4);
        EXPECT_EQ(Ctl({"--set-alarm", date, time}), 0);
        return date + " at " + time;
    }
    pid_t Helper(std::size_t ring) {
        EXPECT_TRUE(WaitFor([&] { return Helpers().size() >= ring; })) << clock->Error();
        return Helpers().size() >= ring ? Helpers()[ring - 1] : 0;
    }
    std::vector<pid_t> Helpers() const {
        std::vector<pid_t> pids;
        std::istringstream in(testing::ReadFileBytes(dir.File("helpers")));
        for (pid_t pid = 0; in >> pid;) pids.push_back(pid);
        return pids;
    }

    TempDir dir;
    testing::MockNotifications server{dir.path()};
    RecordingScript player{dir.path(), "player.sh", "sleep 60 & echo $! >> '" + dir.File("helpers") + "'; exit 0"};
    std::map<std::string, std::string> env = testing::ClockEnv(dir);
    std::unique_ptr<testing::RunningClock> clock;
    std::string ringsAt;
};

TEST_F(RingingDayTest, NotifiedSnoozedSwitchedOffEndedByItselfAndAMessageNotSent) {
    // It rings; the notification names the alarm; the helper counts as the player.
    const pid_t first = Helper(1);
    ASSERT_TRUE(server.WaitForLog("\"Wake\n" + ringsAt + "\" [\"snooze\", \"Snooze\", \"stop\", \"Stop\"]"))
        << server.Log() << clock->Error();
    EXPECT_TRUE(StatusShows("player=running\n"));

    // "Snooze" on the notification silences the helper and withdraws it.
    ASSERT_TRUE(server.Press(1, "snooze"));
    EXPECT_TRUE(WaitFor([&] { return !ProcessAlive(first); }));
    EXPECT_TRUE(StatusShows("player=stopped\n"));
    EXPECT_TRUE(server.WaitForLog("CloseNotification 1")) << server.Log();

    // Switching the alarm off stops the next ring.
    EXPECT_EQ(Ctl({"--alarm-off"}), 0);
    SetAlarm();
    const pid_t second = Helper(2);
    EXPECT_TRUE(StatusShows("player=running\n"));
    EXPECT_EQ(Ctl({"--alarm-off"}), 0);
    EXPECT_TRUE(WaitFor([&] { return !ProcessAlive(second); }));
    EXPECT_TRUE(StatusShows("alarm=off\nplayer=stopped\n"));
    EXPECT_TRUE(server.WaitForLog("CloseNotification 2")) << server.Log();

    // A player that ends by itself: stopped, nothing to snooze.
    RecordingScript brief(dir.path(), "brief.sh", "sleep 0.5");
    WriteConfigKey("CUSTOM", brief.path());
    SetAlarm();
    ASSERT_TRUE(brief.WaitForCalls(1, 15000)) << clock->Error();
    EXPECT_TRUE(WaitFor([&] { return !ProcessAlive(brief.Calls()[0].pid); }));
    EXPECT_TRUE(StatusShows("player=stopped\n"));
    EXPECT_EQ(Ctl({"--snooze"}), 0);
    EXPECT_TRUE(clock->WaitForError("Information: No alarm was started to Snooze!", 10000)) << clock->Error();

    // A network message whose program is not there says so.
    WriteConfigKey("MTYPE", "Network Message");
    WriteConfigKey("ALFILE", dir.File("no-net") + " send BOX up");
    SetAlarm();
    EXPECT_TRUE(clock->WaitForError("Warning: The alarm could not be started.", 15000)) << clock->Error();
    EXPECT_EQ(clock->Error().find("Network message sent."), std::string::npos);
}

}  // namespace
}  // namespace tolvenmark
