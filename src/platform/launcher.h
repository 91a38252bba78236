#pragma once

#include <set>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tolvenmark {

// A started program: its process id, 0 when the start failed. The id also
// names the program's process group (it leads a session of its own).
struct ProcessHandle {
    pid_t pid = 0;
    explicit operator bool() const { return pid > 0; }
};

// Starts and stops outside programs without a shell. Every child it starts
// is reaped by it (at each call and by ReapChildren), so none is left a
// zombie and a reaped id is never signalled.
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
    // startGraceMs; an empty handle then.
    ProcessHandle Start(const std::string& program, const std::string& argument,
                        const std::vector<std::string>& options = {});

    // SIGTERM to the program's process group, SIGKILL a second later when it
    // is still there, then reaped. Does nothing for a handle that is not an
    // unreaped child of this launcher.
    void Stop(ProcessHandle handle);

    // Runs a command line split by the shell's quoting rules (no expansion,
    // no shell); failure is not reported.
    void RunCommandLine(const std::string& commandLine);

    // Reaps children that have ended; call it now and then (the clock's tick).
    void ReapChildren();

    // True while the handle is an unreaped child of ours that has not ended.
    bool IsRunning(ProcessHandle handle);

    int startGraceMs = 200;
    int stopGraceMs = 1000;

private:
    std::set<pid_t> children_;
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
