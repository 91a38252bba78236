#include "platform/path_watch.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <filesystem>

namespace tolvenmark {

namespace {

constexpr std::uint32_t kMask = IN_CREATE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

bool IsFolder(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

PathWatch::PathWatch()
    : inotify_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), stop_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

PathWatch::~PathWatch() {
    if (inotify_ >= 0) ::close(inotify_);
    if (stop_ >= 0) ::close(stop_);
}

bool PathWatch::Watch(const std::vector<std::string>& paths) {
    std::vector<Watched> next;
    bool all = inotify_ >= 0;
    for (const std::string& path : paths) {
        std::error_code error;
        const std::filesystem::path target = std::filesystem::absolute(path, error);
        if (error || !target.has_filename()) {
            all = false;
            continue;
        }
        std::filesystem::path folder = target.parent_path();
        std::string name = target.filename();
        bool onTheWay = false;
        while (!IsFolder(folder) && folder.has_relative_path()) {
            name = folder.filename();
            folder = folder.parent_path();
            onTheWay = true;
        }
        const int wd = inotify_ < 0 ? -1 : ::inotify_add_watch(inotify_, folder.c_str(), kMask);
        if (wd < 0) {
            all = false;
            continue;
        }
        next.push_back({wd, name});
        // A folder on the way made before its watch began would wake nothing.
        if (onTheWay && IsFolder(folder / name)) pending_ = true;
    }
    for (const Watched& old : watched_)
        if (std::none_of(next.begin(), next.end(), [&](const Watched& w) { return w.wd == old.wd; }))
            ::inotify_rm_watch(inotify_, old.wd);
    watched_ = std::move(next);
    return all;
}

bool PathWatch::Stepped() {
    alignas(inotify_event) char buffer[4096];
    bool step = false;
    for (;;) {
        const ssize_t n = ::read(inotify_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return step;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                step = true;
                continue;
            }
            // Events of a watch given up before are stale.
            for (const Watched& w : watched_) {
                if (w.wd != event->wd) continue;
                if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT)) step = true;
                if ((event->mask & (IN_CREATE | IN_MOVED_TO)) && event->len > 0 && w.name == event->name) step = true;
            }
        }
    }
}

PathWatch::Woken PathWatch::Wait(std::chrono::milliseconds timeout) {
    if (pending_) {
        pending_ = false;
        return Woken::Step;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd fds[] = {{stop_, POLLIN, 0}, {inotify_, POLLIN, 0}};
        const int n = ::poll(fds, 2, static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, INT_MAX)));
        if (n < 0 && errno == EINTR) continue;
        if (n > 0 && fds[0].revents) return Woken::Stopped;
        if (n > 0 && fds[1].revents && Stepped()) return Woken::Step;
        if (n <= 0 && std::chrono::steady_clock::now() >= deadline) return Woken::TimedOut;
        if (n < 0) return Woken::TimedOut;
    }
}

void PathWatch::Stop() {
    const std::uint64_t one = 1;
    if (stop_ >= 0) (void)!::write(stop_, &one, sizeof one);
}

}  // namespace tolvenmark
