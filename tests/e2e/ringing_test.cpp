#include <filesystem>

#include <QThread>
#include <gtest/gtest.h>

#include "support/alarm_env.h"
#include "support/program_run.h"
#include "support/recording_script.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ClockEnv;
using testing::LocalAlarmTexts;
using testing::RecordingScript;
using testing::RunningClock;
using testing::TempDir;
using testing::WriteFileBytes;

// A clock whose pending alarm is the first of two saved ones, a few seconds
// ahead, with the succession on; the second lies an hour later, on its own
// date, as an hour ahead may be tomorrow.
struct RingingSetup {
    std::string date;
    std::string time;
    std::string laterDate;
    std::string laterTime;
};

RingingSetup WriteAlarm(const TempDir& dir, const std::string& mediaType, const std::string& alFile,
                        const std::string& player) {
    const auto [date, time] = LocalAlarmTexts(3);
    const auto [laterDate, laterTime] = LocalAlarmTexts(3600);
    WriteFileBytes(dir.File("TOLVENMARKCLOCK.INI"),
                   "[ALARM]\r\nAPPPATH=" + dir.path() +
                       "\r\nVERSION=1.1\r\nALFORMAT=123\r\nALDATESEP=/\r\nSKIN=Default\r\nALSET=TRUE\r\n"
                       "ALHEADER=Wake\r\nALDATE=" + date + "\r\nALTIME=" + time + "\r\nMTYPE=" + mediaType +
                       "\r\nALFILE=" + alFile + "\r\nPLAYER=CUSTOM\r\nCUSTOM=" + player +
                       "\r\nICONNECT=\r\nCHANGEALARM=Yes\r\nDELETEALARM=Yes\r\n");
    WriteFileBytes(dir.File("Alarms.txt"),
                   "Wake^" + date + "^" + time + "^\r\nLater^" + laterDate + "^" + laterTime + "^\r\n");
    return {date, time, laterDate, laterTime};
}

// The next saved alarm is pending and the launched one has left the file.
void ExpectSuccession(const TempDir& dir, const RingingSetup& setup) {
    const std::string config = testing::ReadFileBytes(dir.File("TOLVENMARKCLOCK.INI"));
    EXPECT_NE(config.find("ALHEADER=Later"), std::string::npos) << config;
    EXPECT_NE(config.find("ALDATE=" + setup.laterDate), std::string::npos) << config;
    EXPECT_NE(config.find("ALTIME=" + setup.laterTime), std::string::npos) << config;
    EXPECT_EQ(testing::ReadFileBytes(dir.File("Alarms.txt")),
              "Later^" + setup.laterDate + "^" + setup.laterTime + "^\r\n");
}

TEST(RingingTest, MediaAlarmStartsThePlayerWithTheFileAsItsOneArgument) {
    TempDir dir;
    RecordingScript player(dir.path(), "player.sh");
    // Blanks, quotes and a command substitution must reach the player untouched.
    const std::string song = dir.File("my \"morning\" song $(touch pwned) 'x'.mp3");
    WriteFileBytes(song, "ID3");
    const RingingSetup setup = WriteAlarm(dir, "MP3", song, player.path());

    RunningClock clock({}, ClockEnv(dir));
    ASSERT_TRUE(player.WaitForCalls(1, 10000)) << clock.Error();
    const auto calls = player.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args, std::vector<std::string>{song});
    EXPECT_FALSE(std::filesystem::exists(dir.File("pwned")));
    QThread::msleep(500);
    ExpectSuccession(dir, setup);
    EXPECT_TRUE(clock.Running());
}

TEST(RingingTest, TextMessageAlarmShowsItsBoxThenMovesOn) {
    TempDir dir;
    const RingingSetup setup = WriteAlarm(dir, "Text Message", "Time to get up", "");
    RunningClock clock({}, ClockEnv(dir));
    ASSERT_TRUE(clock.WaitForError("Tolvenmark Clock: Time to get up\n", 10000)) << clock.Error();
    QThread::msleep(500);
    ExpectSuccession(dir, setup);
}

TEST(RingingTest, PlayerThatCannotStartSaysSoAndStillMovesOn) {
    TempDir dir;
    const std::string song = dir.File("song.mp3");
    WriteFileBytes(song, "ID3");
    const RingingSetup setup = WriteAlarm(dir, "MP3", song, dir.File("no-such-player"));
    RunningClock clock({}, ClockEnv(dir));
    ASSERT_TRUE(clock.WaitForError("Warning: The alarm could not be started.\n", 10000)) << clock.Error();
    QThread::msleep(500);
    ExpectSuccession(dir, setup);
}

}  // namespace
}  // namespace tolvenmark
