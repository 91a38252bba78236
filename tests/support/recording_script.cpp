#include "support/recording_script.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "support/temp_dir.h"

namespace tolvenmark::testing {

RecordingScript::RecordingScript(const std::string& folder, const std::string& name, const std::string& tail)
    : path_(folder + "/" + name), log_(folder + "/" + name + ".log") {
    // One record per call: "pid N" then one "<arg>" line per argument, "end".
    // The mark names what it started, so the end of a test can find it.
    // The record goes out in one write, so players started together do not
    // interleave their lines.
    WriteFileBytes(path_, "#!/bin/sh\nexport TOLVENMARK_TEST_PLAYER='" + path_ + "'\n"
                          "r=\"pid $$\"; for a in \"$@\"; do r=\"$r\n<$a>\"; done; printf '%s\\nend\\n' \"$r\" >> '" +
                              log_ + "'\n" + tail + "\n");
    chmod(path_.c_str(), 0755);
}

RecordingScript::~RecordingScript() {
    // A player a test left playing (the clock does not stop it at its end)
    // must not outlive the suite.
    const std::string mark = "TOLVENMARK_TEST_PLAYER=" + path_ + '\0';
    for (const Call& call : Calls())
        if (ReadFileBytes("/proc/" + std::to_string(call.pid) + "/environ").find(mark) != std::string::npos)
            kill(getpgid(call.pid) == call.pid ? -call.pid : call.pid, SIGKILL);
}

std::vector<RecordingScript::Call> RecordingScript::Calls() const {
    std::vector<Call> calls;
    std::istringstream in(ReadFileBytes(log_));
    std::string line;
    Call current;
    bool open = false;
    while (std::getline(in, line)) {
        if (line.rfind("pid ", 0) == 0) {
            current = Call{static_cast<pid_t>(std::stol(line.substr(4))), {}};
            open = true;
        } else if (line == "end" && open) {
            calls.push_back(current);
            open = false;
        } else if (open && line.size() >= 2 && line.front() == '<' && line.back() == '>') {
            current.args.push_back(line.substr(1, line.size() - 2));
        }
    }
    return calls;
}

bool RecordingScript::WaitForCalls(std::size_t n, int timeoutMs) const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Calls().size() < n) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool ProcessAlive(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string all;
    if (!std::getline(stat, all)) return false;
    const auto close = all.rfind(')');
    return close != std::string::npos && close + 2 < all.size() && all[close + 2] != 'Z';
}

}  // namespace tolvenmark::testing
