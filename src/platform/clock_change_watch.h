#pragma once

#include <functional>

#include <QObject>

class QSocketNotifier;

namespace tolvenmark {

// Tells, without polling, when the wall clock was set (the kernel cancels a
// real-time timer armed with TFD_TIMER_CANCEL_ON_SET) or the machine's time
// zone was changed (/etc/localtime replaced or rewritten). Where the kernel
// refuses one of the two, that one stays silent.
class ClockChangeWatch : public QObject {
public:
    explicit ClockChangeWatch(QObject* parent = nullptr);
    ~ClockChangeWatch() override;

    std::function<void()> OnChange;

    bool WatchesClock() const { return timerFd_ >= 0; }

private:
    void ArmTimer();
    void TimerReady();
    void ZoneReady();

    int timerFd_ = -1;
    int zoneFd_ = -1;
    QSocketNotifier* timerNotifier_ = nullptr;
    QSocketNotifier* zoneNotifier_ = nullptr;
};

}  // namespace tolvenmark
