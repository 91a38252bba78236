#pragma once

#include <QTimer>

#include "clock/alarm_launch.h"

namespace tolvenmark {

// One of the main window's QTimers as the launch sees it.
class QtLaunchTimer final : public LaunchTimer {
public:
    // A coarse timer may fire up to 5 % early: a launch must not come before its second.
    explicit QtLaunchTimer(QTimer& timer) : timer_(timer) { timer_.setTimerType(Qt::PreciseTimer); }
    void SetInterval(int ms) override {
        if (ms != timer_.interval()) timer_.setInterval(ms);  // restarts a running timer
    }
    int Interval() const override { return timer_.interval(); }
    void SetEnabled(bool on) override {
        if (on && !timer_.isActive()) timer_.start();
        if (!on) timer_.stop();
    }
    bool Enabled() const override { return timer_.isActive(); }

private:
    QTimer& timer_;
};

}  // namespace tolvenmark
