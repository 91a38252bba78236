#pragma once

#include <functional>
#include <memory>

#include <QDBusConnection>
#include <QObject>

namespace tolvenmark {

// The clock's own connections to the session and system buses, made on a
// thread of their own: the bus library waits for a hung daemon without a
// limit, and that must hold up neither the start nor the tick. A bus whose
// socket is not there is asked again when it comes, and a second later if
// its daemon was still starting (a machine without it is not woken for it;
// every 10 minutes at most, should the watch miss it). A daemon that does not
// answer is asked again after 15 s, then twice as long each time up to 10
// minutes. Each connection is handed over on the
// user-interface thread; a bus never reached is never handed over.
class BusLinks : public QObject {
public:
    explicit BusLinks(QObject* parent = nullptr);
    ~BusLinks() override;

    std::function<void(QDBusConnection)> onSession;
    std::function<void(QDBusConnection)> onSystem;
    void Start();

    // A connect still waits for a daemon: the bus library cannot be shut down
    // cleanly, so the program ends without its static clean-up.
    static bool Stuck();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace tolvenmark
