#include "clock/desktop_notice.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace tolvenmark {

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kBus = "org.freedesktop.DBus";

}  // namespace

DesktopNotice::DesktopNotice(QObject* parent) : QObject(parent), bus_(QString()) {}

void DesktopNotice::Attach(QDBusConnection bus) {
    if (!bus.isConnected() || bus_.isConnected()) return;
    bus_ = std::move(bus);
    bus_.connect(QString(), "/org/freedesktop/DBus", kBus, "NameOwnerChanged", {kService}, QString(), this,
                 SLOT(NameOwnerChanged(QString, QString, QString)));
    // Starts a service the bus knows how to start; an answer means one is there.
    const QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, "GetCapabilities");
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QStringList> reply = *w;
        if (reply.isError()) return;
        server_ = true;
        markup_ = reply.value().contains("body-markup");
    });
}

void DesktopNotice::NameOwnerChanged(const QString& name, const QString&, const QString& newOwner) {
    if (!calledFromDBus() || message().service() != kBus || name != kService) return;
    server_ = !newOwner.isEmpty();
}

bool DesktopNotice::Show(const std::string& summary, const std::string& body) {
    if (!server_) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, "Notify");
    QVariantMap hints;
    hints.insert("urgency", QVariant::fromValue<uchar>(1));
    hints.insert("desktop-entry", QString("tolvenmark-clock"));
    const QString text = QString::fromStdString(body);
    call << QString::fromStdString(summary) << uint(0) << QString("tolvenmark-clock") << QString::fromStdString(summary)
         << (markup_ ? text.toHtmlEscaped() : text) << QStringList() << hints << qint32(-1);
    bus_.asyncCall(call);
    return true;
}

}  // namespace tolvenmark
