#include "support/wake_timer.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace tolvenmark::testing {

namespace {

std::optional<WakeTimer> ReadFdInfo(const std::filesystem::path& file) {
    std::ifstream in(file);
    WakeTimer timer;
    std::string line;
    bool isTimer = false;
    while (std::getline(in, line)) {
        long long sec = 0, nsec = 0, ticks = 0;
        if (std::sscanf(line.c_str(), "clockid: %d", &timer.clockId) == 1) isTimer = true;
        if (std::sscanf(line.c_str(), "ticks: %lld", &ticks) == 1) timer.ticks = ticks;
        if (std::sscanf(line.c_str(), "it_value: (%lld, %lld)", &sec, &nsec) == 2 && (sec || nsec))
            timer.armedAt = std::time(nullptr) + sec + (nsec >= 500000000);
    }
    if (!isTimer) return std::nullopt;
    return timer;
}

}  // namespace

std::optional<WakeTimer> ReadWakeTimer(const std::string& program) {
    namespace fs = std::filesystem;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        std::ifstream cmdline(entry.path() / "cmdline");
        std::string argv0;
        if (!std::getline(cmdline, argv0, '\0') || argv0 != program) continue;
        for (const auto& fd : fs::directory_iterator(entry.path() / "fdinfo", error))
            if (auto timer = ReadFdInfo(fd.path())) return timer;
    }
    return std::nullopt;
}

std::optional<WakeTimer> WaitForWakeTimer(const std::string& program,
                                          const std::function<bool(const WakeTimer&)>& wanted, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::optional<WakeTimer> timer = ReadWakeTimer(program);
        if ((timer && wanted(*timer)) || std::chrono::steady_clock::now() > end) return timer;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace tolvenmark::testing
