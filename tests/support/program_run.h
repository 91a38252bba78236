#pragma once

#include <map>
#include <string>
#include <vector>

namespace tolvenmark::testing {

struct ProgramResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the real program with offscreen windows and unattended message boxes;
// env adds to or replaces the current environment.
ProgramResult RunClock(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
                       int timeoutMs = 30000);

// The real program left running, as a user starts it; killed at the end.
// Its own runtime folder keeps it apart from any other copy.
class RunningClock {
public:
    RunningClock(const std::vector<std::string>& args, const std::map<std::string, std::string>& env);
    ~RunningClock();
    RunningClock(const RunningClock&) = delete;
    RunningClock& operator=(const RunningClock&) = delete;

    // Waits until standard error holds text; false after timeoutMs.
    bool WaitForError(const std::string& text, int timeoutMs);
    bool Running();
    bool WaitForEnd(int timeoutMs);  // true when it ended in time
    std::string Error();  // what it wrote to standard error so far

private:
    struct Process;
    Process* process_;
    std::string err_;
};

}  // namespace tolvenmark::testing
