#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace tolvenmark::testing {

// A stand-in player: a small shell script that appends its process id and
// arguments to a log beside it, then runs `tail` (default: sleeps on, as a
// player plays). The script is real; only what it does is small.
class RecordingScript {
public:
    struct Call {
        pid_t pid = 0;
        std::vector<std::string> args;
    };

    RecordingScript(const std::string& folder, const std::string& name,
                    const std::string& tail = "exec sleep 60");
    // Ends what its calls left running (their groups, when they lead one).
    ~RecordingScript();

    const std::string& path() const { return path_; }
    std::vector<Call> Calls() const;
    // Waits until at least n calls are logged; false after timeoutMs.
    bool WaitForCalls(std::size_t n, int timeoutMs = 5000) const;

private:
    std::string path_;
    std::string log_;
};

// True while a process with that id exists and is not a zombie.
bool ProcessAlive(pid_t pid);

}  // namespace tolvenmark::testing
