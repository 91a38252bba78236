#pragma once

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tolvenmark {

// One process as /proc/PID/stat shows it.
struct ProcessEntry {
    pid_t pid = 0;
    pid_t ppid = 0;
    unsigned long long startTicks = 0;  // since boot, in clock ticks
    bool zombie = false;
};

// Reads one /proc/PID/stat line; nothing when it is not one. The name in
// parentheses is the process's own choice and may hold anything.
std::optional<ProcessEntry> ParseProcStat(const std::string& line);

// What /proc says of pid now; nothing when it is gone.
std::optional<ProcessEntry> ReadProcess(pid_t pid);

// Every process started at or after startTicks: only those can descend from
// a program started then.
std::vector<ProcessEntry> ProcessesSince(unsigned long long startTicks);

// Whether pid's environment, as it was given at its start, holds entry
// ("NAME=value") exactly. False for another user's process.
bool EnvironmentHolds(pid_t pid, const std::string& entry);

}  // namespace tolvenmark
