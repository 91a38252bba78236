#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tolvenmark {

struct ProcessEntry;

// A started program: its process id, 0 when the start failed. The id also
// names the launch: the program and everything it started, wherever it went.
struct ProcessHandle {
    pid_t pid = 0;
    explicit operator bool() const { return pid > 0; }
};

// What became of a launch.
enum class LaunchState {
    Running,   // the program, or something it started, still runs
    Ended,     // all of it ended, was stopped, or it is not ours
    Unplayed,  // it ended with an error within playGraceMs: nothing was heard
};

// Starts and stops outside programs without a shell, and never waits on
// them: a stop sends SIGTERM and leaves the SIGKILL to a timer, ends are
// seen through NotifyFd. A launch is followed into every process it starts,
// also those that leave its group or session or are handed to init: each
// carries the launch's mark in its environment, and children are found by
// their parent. Only processes of our own launches are ever signalled, each
// through a pidfd, so an id handed out again is never hit.
class Launcher {
public:
    Launcher();
    // Stops every launch still running, waiting for it at most stopGraceMs
    // before SIGKILL: a player without a window must not outlive the clock.
    ~Launcher();
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // Starts program (a path, or a name looked up in PATH) with the fixed
    // options and then exactly one argument, none when it is empty, in a
    // session of its own with standard input from /dev/null and its output
    // appended to outputLog. An empty handle when it cannot be run at all;
    // one that ends with an error at once turns Unplayed later.
    ProcessHandle Start(const std::string& program, const std::string& argument,
                        const std::vector<std::string>& options = {});

    // SIGTERM to every process of the launch now, SIGKILL stopGraceMs later
    // to whatever of it is left; returns at once.
    void Stop(ProcessHandle handle);
    // Stops every launch but except; true when any of them was running.
    bool StopAll(ProcessHandle except = {});

    // Runs a command line split by the shell's quoting rules (no expansion,
    // no shell). False when no program could be started; what it does then is
    // not followed, it is only reaped.
    bool RunCommandLine(const std::string& commandLine);

    // Reaps, follows launches into new processes (reading /proc, a few
    // milliseconds), sends due SIGKILLs and notes ends. Call it now and then
    // (the clock's tick), so new processes of a launch are found while it runs.
    void Service();
    // The same without reading /proc unless a launch may have ended: for
    // each time NotifyFd is readable.
    void ServeEnds() { Serve(false); }

    LaunchState State(ProcessHandle handle);
    bool IsRunning(ProcessHandle handle) { return State(handle) == LaunchState::Running; }
    // Any launch not being stopped still runs; AnyAlive counts those too.
    bool AnyRunning();
    bool AnyAlive();
    // The last line the launch wrote to outputLog, for telling why it ended.
    std::string LastOutput(ProcessHandle handle) const;

    // Readable when a process of a launch ended or a SIGKILL is due.
    int NotifyFd() const { return epoll_; }
    // Serves until nothing runs or timeoutMs passed; true when nothing runs.
    bool WaitIdle(int timeoutMs);

    // Called from Service after a launch ended by itself (not by a stop).
    std::function<void()> OnEnded;

    int stopGraceMs = 1000;
    int playGraceMs = 5000;
    std::string outputLog;  // "" : /dev/null

private:
    struct Member {
        int pidfd = -1;
        bool child = false;  // ours to reap
    };
    struct Launch {
        pid_t leader = 0;
        std::string mark;  // "NAME=value" in the environment of each of its processes
        unsigned long long startTicks = 0;
        std::chrono::steady_clock::time_point started;
        std::map<pid_t, Member> members;
        bool leaderFailed = false;
        bool stopping = false;
        bool killed = false;
        std::chrono::steady_clock::time_point killAt;
        long logOffset = 0;
        std::optional<std::chrono::steady_clock::time_point> emptySince;  // no process known since
    };

    void Serve(bool follow);
    bool Follow(Launch& launch, const std::vector<ProcessEntry>& processes);  // true: found more
    void ReapMembers(Launch& launch);
    bool Adopt(Launch& launch, pid_t pid, bool child);  // false: it is gone
    void Signal(Launch& launch, int sig);
    void Drop(Launch& launch, pid_t pid);
    void ArmTimer();
    int OpenLog(long& offset) const;
    std::string ReadOutput(long offset) const;

    std::map<pid_t, Launch> launches_;
    std::map<pid_t, LaunchState> ended_;  // launches that ended, until asked
    std::map<pid_t, std::string> lastOutput_;
    std::set<pid_t> commands_;  // RunCommandLine's children, only reaped
    int epoll_ = -1;
    int timer_ = -1;
    unsigned serial_ = 0;
    bool serving_ = false;
};

// The player's output log: $XDG_STATE_HOME/tolvenmark/player.log, default
// ~/.local/state; "" when there is no home.
std::string PlayerLogPath();

// The path itself when such a file exists, else "" (the short-path rule).
std::string ExistingPath(const std::string& path);

// The full path of a program name found in PATH with its run bit, else "".
// A name with a "/" is returned as it is when it can be run.
std::string FindProgram(const std::string& name);

// Splits a command line into words: blanks separate, '...' is literal,
// "..." keeps blanks and takes \ before " \ $ `, a \ outside quotes takes the
// next character. Nothing is expanded. An unclosed quote runs to the end.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

}  // namespace tolvenmark
