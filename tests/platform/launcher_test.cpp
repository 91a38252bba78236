#include "platform/launcher.h"
#include "platform/launcher_tree.h"

#include <chrono>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/recording_script.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using ::testing::ElementsAre;
using testing::ProcessAlive;
using testing::RecordingScript;
using testing::TempDir;
using testing::WriteFileBytes;

bool Reaped(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) < 0 && errno == ECHILD; }

TEST(LauncherTest, PassesOneArgumentUnchangedWithoutAShell) {
    TempDir dir;
    RecordingScript player(dir.path(), "player");
    Launcher launcher;
    const std::string nasty = dir.File("my song's \"best\" $(touch pwned) `x` ; & *.mp3");
    const ProcessHandle h = launcher.Start(player.path(), nasty);
    ASSERT_TRUE(h);
    ASSERT_TRUE(player.WaitForCalls(1));
    EXPECT_THAT(player.Calls()[0].args, ElementsAre(nasty));
    EXPECT_EQ(player.Calls()[0].pid, h.pid);
    EXPECT_NE(access("pwned", F_OK), 0);
    // Its own session and process group, so a stop reaches its helpers.
    EXPECT_EQ(getsid(h.pid), h.pid);
    EXPECT_EQ(getpgid(h.pid), h.pid);
    launcher.Stop(h);
}

TEST(LauncherTest, EmptyArgumentGivesNoArgumentAndOptionsComeFirst) {
    TempDir dir;
    RecordingScript player(dir.path(), "player");
    Launcher launcher;
    const ProcessHandle a = launcher.Start(player.path(), "");
    const ProcessHandle b = launcher.Start(player.path(), "x.wav", {"-nodisp", "-autoexit"});
    ASSERT_TRUE(player.WaitForCalls(2));
    // Two players started together record in whichever order they run.
    std::vector<std::vector<std::string>> args;
    for (const auto& call : player.Calls()) args.push_back(call.args);
    EXPECT_THAT(args, ::testing::UnorderedElementsAre(::testing::IsEmpty(),
                                                      ElementsAre("-nodisp", "-autoexit", "x.wav")));
    launcher.Stop(a);
    launcher.Stop(b);
}

struct FailedStart {
    const char* name;
    const char* content;  // nullptr: no file at all
    mode_t mode;
    bool started;  // it ran, and ended at once with an error
};
void PrintTo(const FailedStart& f, std::ostream* os) { *os << f.name; }

class LauncherFailedStartTest : public ::testing::TestWithParam<FailedStart> {};

TEST_P(LauncherFailedStartTest, IsReportedAndLeavesNoChild) {
    TempDir dir;
    const std::string path = dir.File("player");
    if (GetParam().content) {
        WriteFileBytes(path, GetParam().content);
        chmod(path.c_str(), GetParam().mode);
    }
    Launcher launcher;
    launcher.outputLog = dir.File("log/player.log");
    const ProcessHandle h = launcher.Start(path, dir.File("song.mp3"));
    EXPECT_EQ(bool(h), GetParam().started);
    EXPECT_TRUE(launcher.WaitIdle(5000));
    EXPECT_EQ(launcher.State(h), h ? LaunchState::Unplayed : LaunchState::Ended);
    if (h) {
        EXPECT_EQ(launcher.LastOutput(h), "no audio device");
    }
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);  // nothing of ours left to reap
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LauncherFailedStartTest,
    ::testing::Values(FailedStart{"missing", nullptr, 0, false},
                      FailedStart{"no_run_bit", "#!/bin/sh\nsleep 5\n", 0644, false},
                      FailedStart{"exits_with_error", "#!/bin/sh\necho playing\necho no audio device >&2\nexit 3\n", 0755, true},
                      FailedStart{"killed_at_once", "#!/bin/sh\necho 'no audio device\r'\nkill -9 $$\n", 0755, true},
                      // Without a header a shell would run it; we must not.
                      FailedStart{"no_header", "touch \"$0.ran\"\nsleep 5\n", 0755, false},
                      FailedStart{"empty_file", "", 0755, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A stop ends everything the player started, wherever it went; HELPER is the
// file for the id of the process that plays. A helper that takes SIGTERM must
// end at the first signal, long before the SIGKILL.
struct StopCase {
    const char* script;
    bool ignoresTerm;
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.script; }

class LauncherStopTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(LauncherStopTest, EndsEveryProcessOfTheLaunch) {
    TempDir dir;
    std::string script = GetParam().script;
    for (std::size_t at; (at = script.find("HELPER")) != std::string::npos;) script.replace(at, 6, dir.File("helper"));
    RecordingScript player(dir.path(), "player", script);
    Launcher launcher;
    launcher.stopGraceMs = GetParam().ignoresTerm ? 300 : 10000;
    const ProcessHandle h = launcher.Start(player.path(), "a.mp3");
    ASSERT_TRUE(h);
    for (int i = 0; i < 300 && testing::ReadFileBytes(dir.File("helper")).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the leader ends, or not
    const pid_t helper = std::stoi(testing::ReadFileBytes(dir.File("helper")));
    ASSERT_TRUE(ProcessAlive(helper));
    EXPECT_EQ(launcher.State(h), LaunchState::Running);
    launcher.Stop(h);
    EXPECT_EQ(launcher.State(h), LaunchState::Ended);
    EXPECT_TRUE(launcher.WaitIdle(5000));  // before any SIGKILL of a helper that takes SIGTERM
    EXPECT_TRUE(Reaped(h.pid));
    EXPECT_FALSE(launcher.AnyAlive());
    EXPECT_FALSE(ProcessAlive(helper));
}

INSTANTIATE_TEST_SUITE_P(
    Players, LauncherStopTest,
    ::testing::Values(StopCase{"sleep 60 & echo $! > 'HELPER'; wait", false},  // as real players do
                      StopCase{"trap '' TERM; echo $$ > 'HELPER'; while :; do sleep 0.05; done", true},
                      // Players that hand the playing to a helper and end.
                      StopCase{"sleep 60 & echo $! > 'HELPER'; exit 0", false},
                      StopCase{"(trap '' TERM; exec sleep 60) & echo $! > 'HELPER'", true},
                      // Helpers that leave the group and the session, or are handed to init.
                      StopCase{"setsid sleep 60 & echo $! > 'HELPER'; wait", false},
                      StopCase{"setsid sh -c 'trap \"\" TERM; echo $$ > \"HELPER\"; exec sleep 60' & exit 0", true},
                      StopCase{"(setsid sh -c 'sleep 60 & echo $! > \"HELPER\"' &); exit 0", false},
                      // A helper with an environment of its own is known by its parent.
                      StopCase{"env -i sleep 60 & echo $! > 'HELPER'; wait", false}));

TEST(LauncherTest, StopNeverSignalsAProcessThatIsNotItsChild) {
    const pid_t other = fork();
    if (other == 0) {
        setpgid(0, 0);
        pause();
        _exit(0);
    }
    ASSERT_GT(other, 0);
    Launcher launcher;
    launcher.Stop(ProcessHandle{other});
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(ProcessAlive(other));
    kill(other, SIGKILL);
    waitpid(other, nullptr, 0);
}

TEST(LauncherTest, APlayerThatEndedIsReapedAndNotSignalledAgain) {
    TempDir dir;
    RecordingScript player(dir.path(), "player", "sleep 0.4");
    Launcher launcher;
    const ProcessHandle h = launcher.Start(player.path(), "a.mp3");
    ASSERT_TRUE(h);
    EXPECT_TRUE(launcher.WaitIdle(5000));
    EXPECT_TRUE(Reaped(h.pid));
    EXPECT_EQ(launcher.State(h), LaunchState::Ended);
    launcher.Stop(h);  // no longer ours: nothing happens, nothing blocks
}

TEST(LauncherTest, RunCommandLineSplitsWithoutAShell) {
    TempDir dir;
    RecordingScript tool(dir.path(), "net send", "exit 0");
    Launcher launcher;
    EXPECT_TRUE(launcher.RunCommandLine("'" + tool.path() + "' BOX \"wake up, it's $(date)\" it\\'s"));
    ASSERT_TRUE(tool.WaitForCalls(1));
    EXPECT_THAT(tool.Calls()[0].args, ElementsAre("BOX", "wake up, it's $(date)", "it's"));
    EXPECT_FALSE(launcher.RunCommandLine("no-such-program-here at all"));
    EXPECT_FALSE(launcher.RunCommandLine("  "));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    launcher.Service();
    EXPECT_TRUE(Reaped(tool.Calls()[0].pid));
}

// A process names itself: blanks, parentheses and digits in the name must not shift the fields.
class ProcStatTest : public ::testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(ProcStatTest, ReadsIdsStartAndState) {
    const auto e = ParseProcStat(GetParam().first);
    EXPECT_EQ(e ? std::to_string(e->pid) + " " + std::to_string(e->ppid) + " " + std::to_string(e->startTicks) +
                      (e->zombie ? " Z" : "")
                : "none",
              GetParam().second);
}

const std::string kStatTail = " 0 0 0 0 0 0 0 0 0 0 0 0 0 20 0 1 0 777 1000 50 18446744073709551615\n";

INSTANTIATE_TEST_SUITE_P(
    Lines, ProcStatTest,
    ::testing::Values(std::make_pair("42 (mpv) S 7" + kStatTail, "42 7 777"),
                      std::make_pair("42 (a) Z 9 (b) S 7" + kStatTail, "42 7 777"),
                      std::make_pair("42 () 1 2) Z 7" + kStatTail, "42 7 777 Z"), std::make_pair("42 (mpv) S 7 0 0", "none"),
                      std::make_pair("(mpv) S 7" + kStatTail, "none"), std::make_pair("42 (mpv) S -7" + kStatTail, "none"),
                      std::make_pair("", "none")));

struct Split {
    const char* line;
    std::vector<std::string> words;
};

void PrintTo(const Split& s, std::ostream* os) { *os << '[' << s.line << ']'; }

class SplitCommandLineTest : public ::testing::TestWithParam<Split> {};

TEST_P(SplitCommandLineTest, Words) { EXPECT_EQ(SplitCommandLine(GetParam().line), GetParam().words); }

INSTANTIATE_TEST_SUITE_P(
    Rules, SplitCommandLineTest,
    ::testing::Values(Split{"", {}}, Split{"   \t ", {}}, Split{"net send BOX hello", {"net", "send", "BOX", "hello"}},
                      Split{"  a   b  ", {"a", "b"}}, Split{"a \"b c\" d", {"a", "b c", "d"}},
                      Split{"'a \"b\" $x'", {"a \"b\" $x"}}, Split{"\"a\\\"b\\\\c\\n\"", {"a\"b\\c\\n"}},
                      Split{"a\\ b", {"a b"}}, Split{"x''y \"\"", {"xy", ""}}, Split{"'open", {"open"}},
                      Split{"\"open \\", {"open \\"}}, Split{"end\\", {"end"}}, Split{"$(rm -rf ~)", {"$(rm", "-rf", "~)"}}));

}  // namespace
}  // namespace tolvenmark
