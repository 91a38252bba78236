#include "support/wake_timer.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>

namespace tolvenmark::testing {

std::optional<WakeTimer> WaitForWakeTimer(const std::string& program, int timeoutMs,
                                          const std::function<bool(const WakeTimer&)>& wanted) {
    namespace fs = std::filesystem;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        std::optional<WakeTimer> timer;
        std::error_code error;
        for (const auto& process : fs::directory_iterator("/proc", error)) {
            std::ifstream cmdline(process.path() / "cmdline");
            std::string argv0;
            if (!std::getline(cmdline, argv0, '\0') || argv0 != program) continue;
            for (const auto& fd : fs::directory_iterator(process.path() / "fdinfo", error)) {
                std::ifstream in(fd.path());
                WakeTimer read;
                long long ticks = 0, sec = 0, nsec = 0;
                for (std::string line; std::getline(in, line);) {
                    std::sscanf(line.c_str(), "clockid: %d", &read.clockId);
                    if (std::sscanf(line.c_str(), "ticks: %lld", &ticks) == 1) read.ticks = ticks;
                    if (std::sscanf(line.c_str(), "it_value: (%lld, %lld)", &sec, &nsec) == 2 && (sec || nsec))
                        read.armedAt = std::time(nullptr) + sec + (nsec >= 500000000);
                }
                if (read.clockId >= 0) timer = read;
            }
        }
        if ((timer && (!wanted || wanted(*timer))) || std::chrono::steady_clock::now() >= end) return timer;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace tolvenmark::testing
