#pragma once

#include <set>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tolvenmark {

// A started program: its process id, 0 when the start failed. The id also
// names the program's process group (it leads a session of its own), which
// outlives the program while a helper it started plays on.
struct ProcessHandle {
    pid_t pid = 0;
    explicit operator bool() const { return pid > 0; }
};

// Starts and stops outside programs without a shell. Every child it starts
// is reaped by it (at each call and by ReapChildren), so none is left a
// zombie. Only groups it started are signalled: a group while its leader is
// an unreaped child, or after that while the group has been seen alive at
// every reaping since (a group id is not handed out again while the group
// has a member).
class Launcher {
public:
    Launcher() = default;
    // Programs still running are left running, as the clock leaves its player.
    ~Launcher() = default;
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // Starts program (a path, or a name looked up in PATH) with the fixed
    // options and then exactly one argument, none when it is empty, in a
    // session of its own with standard input from /dev/null. The start counts
    // as failed when the program cannot be run or ends with an error within
    // startGraceMs; an empty handle then, and whatever it left in its group
    // is ended. A program that hands playing to a helper and ends with
    // success gives a handle for the helper's group.
    ProcessHandle Start(const std::string& program, const std::string& argument,
                        const std::vector<std::string>& options = {});

    // SIGTERM to the program's process group, SIGKILL to the group a second
    // later when any of it is still there; the leader is reaped. Does nothing
    // for a handle whose group is not ours (see above).
    void Stop(ProcessHandle handle);

    // Runs a command line split by the shell's quoting rules (no expansion,
    // no shell). False when no program could be started; what it does then is
    // not followed.
    bool RunCommandLine(const std::string& commandLine);

    // Reaps children that have ended; call it now and then (the clock's tick).
    void ReapChildren();

    // True while the handle's program, or anything left in its group, runs.
    bool IsRunning(ProcessHandle handle);

    int startGraceMs = 200;
    int stopGraceMs = 1000;

private:
    bool Owns(pid_t group) const;

    std::set<pid_t> children_;
    // Groups whose leader was reaped while other members played on.
    std::set<pid_t> groups_;
};

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
