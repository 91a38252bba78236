#include <filesystem>
#include <string>
#include <vector>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

#include "platform/profile_file.h"
#include "support/alarm_env.h"
#include "support/program_run.h"
#include "support/recording_script.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

const std::string kStagedSound = std::string(TOLVENMARK_BINARY_DIR) + "/share/tolvenmark-clock/sounds/chime.opus";

// Runs the installer for the build folder's program in a fresh home whose
// PATH holds the given players and the few tools it needs; answers that PATH
// and keeps what it said on standard error in `err`.
std::string RunInstaller(const TempDir& home, const std::vector<std::string>& players, std::string* err = nullptr,
                         const std::string& programDir = TOLVENMARK_BINARY_DIR) {
    const std::string bin = home.File("bin");
    std::filesystem::create_directories(bin);
    std::error_code there;
    for (const char* tool : {"mkdir", "mktemp", "cat", "chmod", "mv", "readlink", "dirname"})
        std::filesystem::create_symlink(QStandardPaths::findExecutable(tool).toStdString(), bin + "/" + tool, there);
    for (const std::string& player : players) testing::RecordingScript(bin, player);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"TOLVENMARK_WINDIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) env.remove(name);
    env.insert("HOME", QString::fromStdString(home.path()));
    env.insert("PATH", QString::fromStdString(bin));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start("/bin/bash", {TOLVENMARK_SOURCE_DIR "/scripts/install-config", QString::fromStdString(programDir)});
    EXPECT_TRUE(process.waitForFinished(30000) && process.exitCode() == 0);
    if (err) *err = process.readAllStandardError().toStdString();
    return bin;
}

std::string Ini(const TempDir& home) { return home.File(".config/tolvenmark/TOLVENMARKCLOCK.INI"); }

TEST(InstallConfigTest, WritesTheFirstConfigurationOnceAndNeverOverwritesIt) {
    TempDir home;
    const std::string path = RunInstaller(home, {"mpv"});
    EXPECT_EQ(ReadFileBytes(Ini(home)),
              "[ALARM]\nAPPPATH=" + home.File(".local/share/tolvenmark") +
                  "\nSKIN=Default\nSNOOZE=Yes\nSNOOZEMIN=5\nICONNECT=Local Area Network (LAN)\nWAIT=60\n"
                  "CHANGEALARM=Yes\nDELETEALARM=Yes\nALSET=TRUE\nPLAYER=CUSTOM\nCUSTOM=" + path +
                  "/mpv\nMTYPE=MP3\nALFILE=" + std::filesystem::canonical(kStagedSound).string() + "\n");

    WriteFileBytes(Ini(home), "[ALARM]\nAPPPATH=/mine\n");
    RunInstaller(home, {"mpv"});
    EXPECT_EQ(ReadFileBytes(Ini(home)), "[ALARM]\nAPPPATH=/mine\n");
}

class FirstPlayerTest : public ::testing::TestWithParam<std::pair<std::vector<std::string>, std::string>> {};

// CUSTOM is started bare, so ffplay (it needs options) is left to the
// clock's own choice for an empty CUSTOM.
TEST_P(FirstPlayerTest, CustomNamesTheFirstPlayerThatRunsBare) {
    TempDir home;
    std::string err;
    const std::string path = RunInstaller(home, GetParam().first, &err);
    const std::string& custom = GetParam().second;
    EXPECT_EQ(GetPrivateProfileString("ALARM", "CUSTOM", "?", 255, Ini(home)), custom.empty() ? "" : path + custom);
    EXPECT_EQ(err.find("warning: no player found") != std::string::npos, GetParam().first.empty()) << err;
}

TEST(InstallConfigTest, WarnsWhenTheSoundIsMissing) {
    TempDir home;
    std::string err;
    RunInstaller(home, {"mpv"}, &err, home.path());
    EXPECT_EQ(GetPrivateProfileString("ALARM", "ALFILE", "?", 255, Ini(home)), "");
    EXPECT_NE(err.find("warning: the clock's alarm sound"), std::string::npos) << err;
}

using Players = std::vector<std::string>;
INSTANTIATE_TEST_SUITE_P(Players, FirstPlayerTest,
                         ::testing::Values(std::pair{Players{"paplay", "ffplay", "vlc", "mpv"}, "/mpv"},
                                           std::pair{Players{"paplay", "ffplay"}, ""},
                                           std::pair{Players{"paplay"}, "/paplay"}, std::pair{Players{}, ""}));

// A new user's first alarm: the installer's configuration, one --set-alarm,
// and the shipped sound rings at that second with no choice made.
TEST(InstallConfigTest, TheFirstAlarmRingsTheShippedSound) {
    TempDir home;
    const std::string path = RunInstaller(home, {"mpv"});
    const testing::RecordingScript mpv(path, "mpv");
    auto env = testing::ClockEnv(home);
    env["TOLVENMARK_WINDIR"] = home.File(".config/tolvenmark");
    env["PATH"] = path + ":/usr/bin:/bin";
    testing::RunningClock clock({}, env);
    auto status = [&] { return testing::RunClock({"--status"}, env, 20000); };
    for (int i = 0; i < 200 && status().exitCode != 0; ++i) QThread::msleep(100);
    EXPECT_NE(status().out.find("alarm=on\n"), std::string::npos) << clock.Error();

    const auto [date, time] = testing::LocalAlarmTexts(4);
    const testing::ProgramResult set = testing::RunClock({"--set-alarm", date, time}, env, 20000);
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_TRUE(clock.WaitForError("Alarm due:  (" + date + " at " + time + ")", 20000)) << clock.Error();
    ASSERT_TRUE(mpv.WaitForCalls(1, 20000)) << clock.Error();
    EXPECT_EQ(mpv.Calls()[0].args, std::vector<std::string>{std::filesystem::canonical(kStagedSound).string()});
}

}  // namespace
}  // namespace tolvenmark
