#include "app/bus_links.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/bus_probe.h"

namespace tolvenmark {

namespace {

constexpr int kAnswerMs = 2000;
constexpr std::chrono::seconds kAskAgain{15};
// A machine without the bus is not asked every 15 s for ever.
constexpr std::chrono::seconds kAskAgainAtMost{600};

std::atomic<bool> stuck{false};

}  // namespace

struct BusLinks::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;
    std::thread worker;
};

BusLinks::BusLinks(QObject* parent) : QObject(parent), shared_(std::make_shared<Shared>()) {}

BusLinks::~BusLinks() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stop = true;
    }
    shared_->wake.notify_all();
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
            for (std::size_t i = 0; i < buses.size(); ++i) {
                if (linked[i]) continue;
                const auto socket = LocalBusSocket(buses[i].address);
                if (socket && !BusesAnswer({*socket}, kAnswerMs)[0]) continue;
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
            std::unique_lock lock(shared->mutex);
            if (std::find(linked.begin(), linked.end(), false) == linked.end()) return;
            if (shared->wake.wait_for(lock, askAgain, [&] { return shared->stop; })) return;
            askAgain = std::min(askAgain * 2, kAskAgainAtMost);
        }
    });
}

}  // namespace tolvenmark
