#pragma once

#include "platform/date_time.h"

namespace tolvenmark {

// The current local date and time; tests use a FixedClock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime Now() const = 0;
};

class SystemClock final : public Clock {
public:
    DateTime Now() const override;
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(DateTime now) : now_(now) {}
    DateTime Now() const override { return now_; }
    void Set(DateTime now) { now_ = now; }

private:
    DateTime now_;
};

// The clock every window reads "now" from, set once at start (tests set their own).
Clock& AppClock();
void SetAppClock(Clock* clock);

}  // namespace tolvenmark
