#include "clock/resume_watch.h"

namespace tolvenmark {

ResumeWatch::ResumeWatch(QDBusConnection bus, QObject* parent) : QObject(parent) {
    if (!bus.isConnected()) return;
    // No service name: naming one makes Qt ask the bus for its owner and wait
    // for the answer. Anyone may send this signal; all it can do is run a tick.
    bus.connect(QString(), "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", this,
                SLOT(PrepareForSleep(bool)));
}

void ResumeWatch::PrepareForSleep(bool sleeping) {
    if (OnPrepareForSleep) OnPrepareForSleep(sleeping);
}

}  // namespace tolvenmark
