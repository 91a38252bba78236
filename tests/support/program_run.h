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

}  // namespace tolvenmark::testing
