#include "clock/resume_watch.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace tolvenmark {

namespace {

constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kBus = "org.freedesktop.DBus";

}  // namespace

ResumeWatch::ResumeWatch(QDBusConnection bus, QObject* parent) : QObject(parent), bus_(QString()) {
    Attach(std::move(bus));
}

void ResumeWatch::Attach(QDBusConnection bus) {
    if (!bus.isConnected() || bus_.isConnected()) return;
    bus_ = std::move(bus);
    // No service names: naming one makes the bus library ask for its owner and
    // wait for the answer. Who sent each signal is checked instead.
    bus_.connect(QString(), "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", this,
                 SLOT(PrepareForSleep(bool)));
    bus_.connect(QString(), "/org/freedesktop/DBus", kBus, "NameOwnerChanged", {kLogind}, QString(), this,
                 SLOT(NameOwnerChanged(QString, QString, QString)));
    QDBusMessage call = QDBusMessage::createMethodCall(kBus, "/org/freedesktop/DBus", kBus, "GetNameOwner");
    call << QString(kLogind);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QString> reply = *w;
        if (!reply.isError() && !ownerChanged_) owner_ = reply.value();
    });
}

void ResumeWatch::NameOwnerChanged(const QString& name, const QString&, const QString& newOwner) {
    if (!calledFromDBus() || message().service() != kBus || name != kLogind) return;
    owner_ = newOwner;
    ownerChanged_ = true;
}

void ResumeWatch::PrepareForSleep(bool sleeping) {
    if (!calledFromDBus() || owner_.isEmpty() || message().service() != owner_) return;
    if (OnPrepareForSleep) OnPrepareForSleep(sleeping);
}

}  // namespace tolvenmark
