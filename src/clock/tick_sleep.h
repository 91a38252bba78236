#pragma once

#include <optional>

#include <QObject>

#include "clock/due_test.h"
#include "clock/tick_plan.h"
#include "platform/clock_change_watch.h"

namespace tolvenmark {

class TForm1;

// Puts the main window's tick to sleep while its face is not on screen (in
// the tray, minimised, on another desktop): after each tick it arms the tick
// for the next thing due instead of the next second. A change of the wall
// clock or the time zone, a change of the alarm, the switch, the snooze, the
// launch or the player, and the window showing again each run the tick at once.
// Hidden, the toolkit's pixmap cache holds nothing either, so that its flush
// timer has nothing to wake for.
class TickSleep : public QObject {
public:
    explicit TickSleep(TForm1& form);
    ~TickSleep() override;

    // The plan the tick runs on now: Sleep while hidden with nothing due.
    const TickPlan& Plan() const { return plan_; }
    bool Hidden() const { return hidden_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool FaceHidden() const;
    TickWatched Watch() const;
    void SeenShown();
    void AfterTick();
    void BeforeSleep();
    void TickNow();
    void HoldPixmapCache();

    TForm1& form_;
    DueTest instants_;
    ClockChangeWatch clockChanges_;
    TickWatched watched_;
    TickPlan plan_;
    bool hidden_ = false;
    std::optional<int> shownCacheLimit_;
};

}  // namespace tolvenmark
