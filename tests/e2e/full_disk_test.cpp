// The real clock on a disk that takes no more bytes (a file size limit the
// clock inherits): it loses nothing and goes on to the next alarm.
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include "support/alarm_env.h"
#include "support/file_size_limit.h"
#include "support/program_run.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ClockEnv;
using testing::ProgramResult;
using testing::ReadFileBytes;
using testing::RunClock;
using testing::RunningClock;
using testing::TempDir;
using testing::WriteFileBytes;

class FullDiskTest : public ::testing::Test {
protected:
    void WriteConfig(const std::string& keys) {
        WriteFileBytes(ini, "[ALARM]\nAPPPATH=" + dir.path() + "\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\n" + keys);
    }
    // A clock whose every write past limit bytes fails.
    void StartClock(rlim_t limit) {
        {
            testing::ScopedFileSizeLimit full(limit);
            clock = std::make_unique<RunningClock>(std::vector<std::string>{}, ClockEnv(dir));
        }
        QElapsedTimer waited;
        waited.start();
        while (Ctl({"--status"}).exitCode != 0 && waited.elapsed() < 20000) QThread::msleep(100);
    }
    ProgramResult Ctl(const std::vector<std::string>& args) { return RunClock(args, ClockEnv(dir), 20000); }

    TempDir dir;
    std::string ini = dir.File("TOLVENMARKCLOCK.INI");
    std::unique_ptr<RunningClock> clock;
};

TEST_F(FullDiskTest, SetAlarmWritesTheOldThreeKeysOrTheNewThree) {
    const std::string alarm = "ALHEADER=Wake\nALDATE=1/1/2099\nALTIME=7:00:00 AM\n";
    WriteConfig(alarm);
    // Room for a longer date, not for the longer header as well.
    StartClock(ReadFileBytes(ini).size() + 50);
    const ProgramResult set = Ctl({"--set-alarm", "12/24/2027", "6:30 PM", std::string(100, 'h')});
    EXPECT_NE(set.exitCode, 0) << set.out;
    EXPECT_NE(ReadFileBytes(ini).find(alarm), std::string::npos) << ReadFileBytes(ini);
}

TEST_F(FullDiskTest, AnAlarmThatRangWhileTheClockWasOffPassesOnAndTheFileIsNamed) {
    WriteFileBytes(dir.File("Alarms.txt"), "Rang^1/5/2020^7:00:00 AM^\r\nNext^12/24/2099^6:30:00 PM^\r\n");
    WriteConfig("CHANGEALARM=Yes\nDELETEALARM=Yes\nALHEADER=Rang\nALDATE=1/5/2020\nALTIME=7:00:00 AM\n");
    StartClock(16);
    EXPECT_TRUE(clock->WaitForError("Error: The file : " + dir.File("Alarms.txt") + " cannot be written.", 20000))
        << clock->Error();
    EXPECT_EQ(Ctl({"--status"}).out.substr(0, 44), "header=Next\ndate=12/24/2099\ntime=6:30:00 PM\n");
    EXPECT_EQ(ReadFileBytes(dir.File("Alarms.txt")), "Rang^1/5/2020^7:00:00 AM^\r\nNext^12/24/2099^6:30:00 PM^\r\n");
}

}  // namespace
}  // namespace tolvenmark
