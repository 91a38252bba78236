#include "clock/tick_sleep.h"

#include <exception>

#include <QAbstractEventDispatcher>
#include <QEvent>
#include <QPixmapCache>
#include <QTimer>
#include <QWindow>

#include "clock/config.h"
#include "clock/main_window.h"
#include "platform/clock.h"
#include "platform/regional_settings.h"
#include "setup/launch_rules.h"

namespace tolvenmark {

namespace {

std::int64_t WallMs(const DateTime& now) {
    return FirstInstantOf(now, LocalZone::System()) * 1000 + now.millisecond;
}

std::optional<std::int64_t> LeftMs(const QTimer& timer) {
    if (!timer.isActive()) return std::nullopt;
    return timer.remainingTime();
}

}  // namespace

TickSleep::TickSleep(TForm1& form) : QObject(&form), form_(form), clockChanges_(this) {
    form_.installEventFilter(this);
    // After the window's own handler, which armed the next second.
    connect(form_.Timer1, &QTimer::timeout, this, [this] { AfterTick(); });
    clockChanges_.OnChange = [this] {
        if (hidden_) TickNow();
    };
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { BeforeSleep(); });
    hidden_ = FaceHidden();
    watched_ = Watch();
}

TickSleep::~TickSleep() {
    if (shownCacheLimit_) QPixmapCache::setCacheLimit(*shownCacheLimit_);
}

bool TickSleep::FaceHidden() const {
    if (!form_.isVisible() || form_.isMinimized()) return true;
    const QWindow* window = form_.windowHandle();
    return window && !window->isExposed();
}

TickWatched TickSleep::Watch() const {
    return {form_.AlarmOnFlag,          form_.pendingAlarm,         form_.PlayerStarted,
            form_.Timer2->isActive(),   form_.Timer2->interval(),   form_.Timer3->isActive(),
            form_.Timer3->interval()};
}

bool TickSleep::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
        // The window's surface, whose exposure tells a desktop not shown.
        if (watched == &form_ && form_.windowHandle()) form_.windowHandle()->installEventFilter(this);
        [[fallthrough]];
    case QEvent::Hide:
    case QEvent::WindowStateChange:
    case QEvent::Expose:
        // After the event has done its work.
        QTimer::singleShot(0, this, [this] { SeenShown(); });
        break;
    default:
        break;
    }
    return false;
}

void TickSleep::SeenShown() {
    const bool hidden = FaceHidden();
    if (hidden == hidden_) return;
    hidden_ = hidden;
    HoldPixmapCache();
    if (!hidden_) {
        // The face is current at once, and the tick goes on each second. A
        // tick that never slept (the window's first showing) is on time already.
        const bool slept = plan_.kind != TickPlan::Kind::EverySecond;
        plan_ = {};
        if (slept) form_.Timer1->start(0);
        return;
    }
    AfterTick();
}

void TickSleep::HoldPixmapCache() {
    // The toolkit's pixmap cache flushes itself on a timer for as long as it
    // holds anything; the tray's icon, drawn after the window went, would fill
    // it again. Hidden it holds nothing, so that timer never wakes the clock.
    if (hidden_) {
        if (!shownCacheLimit_) shownCacheLimit_ = QPixmapCache::cacheLimit();
        QPixmapCache::setCacheLimit(0);
        QPixmapCache::clear();
    } else if (shownCacheLimit_) {
        QPixmapCache::setCacheLimit(*shownCacheLimit_);
        shownCacheLimit_.reset();
    }
}

void TickSleep::AfterTick() {
    watched_ = Watch();
    if (!hidden_) {
        // The window armed its next second; nothing to plan.
        plan_ = {};
        return;
    }
    TickPlanInput input;
    input.shown = false;
    input.playerRunning = form_.PlayerStarted;
    const DateTime now = AppClock().Now();
    input.nowMs = WallMs(now);
    const PendingAlarm& alarm = form_.pendingAlarm;
    if (form_.AlarmOnFlag && !alarm.date.empty() && !alarm.time.empty()) {
        try {
            input.alarmAt = instants_.AlarmInstant(now, alarm, AppRegionalSettings());
            if (ReadConfigKey("MTYPE") == kRadioType) input.dialWindowAt = *input.alarmAt - kDialWindowSeconds;
        } catch (const std::exception&) {
            // The tick shows the error; an alarm that does not read is not due.
        }
    }
    input.snoozeLeftMs = LeftMs(*form_.Timer2);
    input.launchLeftMs = LeftMs(*form_.Timer3);
    plan_ = PlanNextTick(input);
    switch (plan_.kind) {
    case TickPlan::Kind::EverySecond:
        if (!form_.Timer1->isActive()) form_.Timer1->start(0);
        break;
    case TickPlan::Kind::Sleep:
        form_.Timer1->stop();
        break;
    case TickPlan::Kind::At:
        form_.Timer1->start(static_cast<int>(plan_.delayMs));
        break;
    }
}

void TickSleep::BeforeSleep() {
    if (!hidden_ || Watch() == watched_) return;
    watched_ = Watch();
    // The seconds slept through had nothing due; the tick takes the change
    // as a tick each second would have.
    form_.CoverSecondsBefore(AppClock().Now());
    TickNow();
}

void TickSleep::TickNow() { form_.Timer1->start(0); }

}  // namespace tolvenmark
