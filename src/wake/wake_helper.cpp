// tolvenmark-clock-wake: the one wake-up timer of the clock, which starts it
// as its child. Each line on standard input is an instant, seconds since the
// epoch, to wake the machine at, or 0 for none; each is answered with one
// line: "ok", "unavailable REASON" (no wake-up timer can be had here) or
// "refused REASON" (that line was not an instant; the timer stays as it was).
// It ends when its input closes, and the timer goes with it.
//
// The only privilege it keeps is CAP_WAKE_ALARM, which the package grants to
// this file, and it serves only a person at the machine, one timer each
// (wake_access.h); standard library, system calls and logind's library only,
// so it stays small enough to read in one sitting.

#include <fcntl.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "wake/wake_access.h"
#include "wake/wake_privileges.h"

namespace {

// Eighteen digits cannot overflow; the kernel's own limit comes far later.
constexpr std::size_t kLongestNumber = 18;

std::optional<std::int64_t> ParseWakeLine(std::string_view line) {
    if (line.empty() || line.size() > kLongestNumber) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : line) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Cuts the input into lines, holding no more than a number's length of any,
// so an endless line costs nothing; a longer line comes out once, marked.
class LineReader {
public:
    template <typename OnLine>
    void Feed(std::string_view data, OnLine&& onLine) {
        for (const char c : data) {
            if (c == '\n') {
                onLine(std::string_view(line_), tooLong_);
                line_.clear();
                tooLong_ = false;
            } else if (line_.size() < kLongestNumber) {
                line_ += c;
            } else {
                tooLong_ = true;
            }
        }
    }

private:
    std::string line_;
    bool tooLong_ = false;
};

bool WriteLine(std::string line) {
    line += '\n';
    std::string_view rest(line);
    while (!rest.empty()) {
        const ssize_t n = write(STDOUT_FILENO, rest.data(), rest.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The answer to one line; arms or disarms the timer when it is an instant.
std::string Answer(int timer, const std::string& unavailable, std::string_view line, bool tooLong) {
    if (!unavailable.empty()) return "unavailable " + unavailable;
    const std::optional<std::int64_t> instant = tooLong ? std::nullopt : ParseWakeLine(line);
    if (!instant) return "refused not a number";
    if (*instant == 0) {
        // A disarmed alarm timer still shows its old expiry in /proc, where
        // one looks for what the machine will wake for; a fresh one shows none.
        const int fresh = timerfd_create(CLOCK_REALTIME_ALARM, TFD_CLOEXEC);
        if (fresh < 0 || dup3(fresh, timer, O_CLOEXEC) < 0) return std::string("refused ") + std::strerror(errno);
        close(fresh);
        return "ok";
    }
    itimerspec expiry{};
    expiry.it_value.tv_sec = static_cast<time_t>(*instant);
    if (timerfd_settime(timer, TFD_TIMER_ABSTIME, &expiry, nullptr) != 0)
        return std::string("refused ") + std::strerror(errno);
    return "ok";
}

}  // namespace

#ifndef TOLVENMARK_WAKE_NO_MAIN
int main() {
    // Whatever the parent left open is not ours to hold.
    close_range(3, ~0U, 0);
    const uid_t caller = getuid();
    const pid_t parent = getppid();
    std::string unavailable = tolvenmark::wake::DropPrivileges();
    if (unavailable.empty()) unavailable = tolvenmark::wake::RefuseCaller(caller, parent);
    int timer = -1;
    if (unavailable.empty()) {
        timer = timerfd_create(CLOCK_REALTIME_ALARM, TFD_CLOEXEC);
        if (timer < 0) unavailable = errno == EPERM ? "no CAP_WAKE_ALARM" : std::strerror(errno);
    }
    // Only a helper that can hold a timer takes the user's over; its own is not armed yet.
    if (unavailable.empty() && caller != 0) tolvenmark::wake::ReplaceEarlierHelpers(caller);
    LineReader reader;
    char buffer[256];
    for (;;) {
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return 0;
        bool written = true;
        reader.Feed(std::string_view(buffer, static_cast<std::size_t>(n)), [&](std::string_view line, bool tooLong) {
            if (written) written = WriteLine(Answer(timer, unavailable, line, tooLong));
        });
        if (!written) return 0;  // the clock is gone
    }
}
#endif
