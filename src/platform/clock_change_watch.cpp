#include "platform/clock_change_watch.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>

#include <sys/inotify.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace tolvenmark {

namespace {

constexpr const char* kZoneFolder = "/etc";
constexpr const char* kZoneName = "localtime";
// Far enough never to expire in a run; the timer is there to be cancelled.
constexpr std::time_t kFarAheadSeconds = std::time_t{366} * 24 * 3600;

}  // namespace

ClockChangeWatch::ClockChangeWatch(QObject* parent) : QObject(parent) {
    timerFd_ = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (timerFd_ >= 0) {
        ArmTimer();
        timerNotifier_ = new QSocketNotifier(timerFd_, QSocketNotifier::Read, this);
        connect(timerNotifier_, &QSocketNotifier::activated, this, [this] { TimerReady(); });
    }
    zoneFd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (zoneFd_ >= 0 &&
        ::inotify_add_watch(zoneFd_, kZoneFolder, IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_CLOSE_WRITE) < 0) {
        ::close(zoneFd_);
        zoneFd_ = -1;
    }
    if (zoneFd_ >= 0) {
        zoneNotifier_ = new QSocketNotifier(zoneFd_, QSocketNotifier::Read, this);
        connect(zoneNotifier_, &QSocketNotifier::activated, this, [this] { ZoneReady(); });
    }
}

ClockChangeWatch::~ClockChangeWatch() {
    delete timerNotifier_;
    delete zoneNotifier_;
    if (timerFd_ >= 0) ::close(timerFd_);
    if (zoneFd_ >= 0) ::close(zoneFd_);
}

void ClockChangeWatch::ArmTimer() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    itimerspec when{};
    when.it_value.tv_sec = now.tv_sec + kFarAheadSeconds;
    if (::timerfd_settime(timerFd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when, nullptr) != 0) {
        // Without the cancel flag the timer would tell nothing.
        delete timerNotifier_;
        timerNotifier_ = nullptr;
        ::close(timerFd_);
        timerFd_ = -1;
    }
}

void ClockChangeWatch::TimerReady() {
    std::uint64_t expirations = 0;
    const ssize_t got = ::read(timerFd_, &expirations, sizeof expirations);
    if (got < 0 && errno == EAGAIN) return;
    // ECANCELED: the clock was set; the timer must be armed again to hear of
    // the next time. An expiry after a year needs the same.
    const bool set = got < 0 && errno == ECANCELED;
    ArmTimer();
    if (set && OnChange) OnChange();
}

void ClockChangeWatch::ZoneReady() {
    alignas(inotify_event) char buffer[4096];
    bool zone = false;
    for (;;) {
        const ssize_t got = ::read(zoneFd_, buffer, sizeof buffer);
        if (got <= 0) break;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0 && std::strcmp(event->name, kZoneName) == 0) zone = true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (zone && OnChange) OnChange();
}

}  // namespace tolvenmark
