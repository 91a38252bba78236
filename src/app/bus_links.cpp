#include "app/bus_links.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "platform/bus_probe.h"
#include "platform/path_watch.h"

namespace tolvenmark {

namespace {

constexpr int kAnswerMs = 2000;
constexpr std::chrono::seconds kAskAgain{15};
// A socket that has just come may be a daemon still starting.
constexpr std::chrono::seconds kAskSoon{1};
// A machine without the bus is not asked every 15 s for ever; where its
// socket is awaited, this is only the fallback.
constexpr std::chrono::seconds kAskAgainAtMost{600};

std::atomic<bool> stuck{false};

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

struct BusLinks::Shared {
    std::mutex mutex;
    PathWatch watch;
    bool stop = false;
    std::thread worker;
};

BusLinks::BusLinks(QObject* parent) : QObject(parent), shared_(std::make_shared<Shared>()) {}

BusLinks::~BusLinks() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stop = true;
    }
    shared_->watch.Stop();
    // It may be asking a hung daemon, or in a connect that never returns; it
    // hands nothing over once stopped, and keeps what it uses alive itself.
    if (shared_->worker.joinable()) shared_->worker.detach();
}

bool BusLinks::Stuck() { return stuck; }

void BusLinks::Start() {
    struct Bus {
        std::string address;
        QString name;
        bool session;
    };
    std::vector<Bus> buses;
    if (const std::string a = BusAddress(BusKind::Session); !a.empty()) buses.push_back({a, "tolvenmark-session", true});
    if (const std::string a = BusAddress(BusKind::System); !a.empty()) buses.push_back({a, "tolvenmark-system", false});
    shared_->worker = std::thread([shared = shared_, self = this, buses] {
        std::vector<bool> linked(buses.size(), false);
        std::chrono::seconds askAgain = kAskAgain;
        for (;;) {
            std::vector<std::string> awaited;  // sockets not answering
            std::size_t thereBefore = 0;       // of them, those there when asked
            bool askLater = false;             // what no socket's coming would tell
            for (std::size_t i = 0; i < buses.size(); ++i) {
                if (linked[i]) continue;
                const auto socket = LocalBusSocket(buses[i].address);
                const bool there = socket && Exists(socket->name);
                if (socket && !BusesAnswer({*socket}, kAnswerMs)[0]) {
                    if (socket->abstract) {
                        askLater = true;
                    } else {
                        awaited.push_back(socket->name);
                        thereBefore += there;
                    }
                    continue;
                }
                {
                    std::lock_guard lock(shared->mutex);
                    if (shared->stop) return;
                    stuck = true;
                }
                QDBusConnection bus = QDBusConnection::connectToBus(QString::fromStdString(buses[i].address), buses[i].name);
                std::lock_guard lock(shared->mutex);
                stuck = false;
                if (shared->stop) return;
                if (!bus.isConnected()) {
                    QDBusConnection::disconnectFromBus(buses[i].name);
                    askLater = true;
                    continue;
                }
                linked[i] = true;
                // Posted while the owner is known to live; dropped if it goes first.
                QMetaObject::invokeMethod(
                    self,
                    [self, bus, session = buses[i].session] {
                        const auto& use = session ? self->onSession : self->onSystem;
                        if (use) use(bus);
                    },
                    Qt::QueuedConnection);
            }
            if (std::find(linked.begin(), linked.end(), false) == linked.end()) return;
            // A socket not there yet wakes the thread when it comes; one that
            // is there (a daemon hung or still starting), or one that cannot
            // be watched, is asked again after a while.
            const bool watched = shared->watch.Watch(awaited);
            const auto thereNow = static_cast<std::size_t>(std::count_if(awaited.begin(), awaited.end(), Exists));
            const bool waitForSocket = !askLater && watched && thereNow == 0;
            // One that came while it was asked, before its watch began, is
            // asked again at once.
            const PathWatch::Woken woken = thereNow > thereBefore
                                               ? PathWatch::Woken::Step
                                               : shared->watch.Wait(waitForSocket ? kAskAgainAtMost : askAgain);
            {
                std::lock_guard lock(shared->mutex);
                if (shared->stop) return;
            }
            switch (woken) {
            case PathWatch::Woken::Stopped:
                return;
            case PathWatch::Woken::Step:
                askAgain = kAskSoon;
                break;
            case PathWatch::Woken::TimedOut:
                if (!waitForSocket)
                    askAgain = askAgain < kAskAgain ? kAskAgain : std::min(askAgain * 2, kAskAgainAtMost);
                break;
            }
        }
    });
}

}  // namespace tolvenmark
