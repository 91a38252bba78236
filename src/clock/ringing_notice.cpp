#include "clock/ringing_notice.h"

#include <limits>

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace tolvenmark {

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";

QString BodyText(const std::string& body, bool markup) {
    const QString text = QString::fromStdString(body);
    // A header such as "<b>Tea</b> & cake" is shown as typed.
    return markup ? text.toHtmlEscaped() : text;
}

}  // namespace

// A server slower than the bus library's default wait would answer after the
// call was given up, and its notification, which never expires, would stay.
constexpr int kNoTimeout = std::numeric_limits<int>::max();

RingingNotice::RingingNotice(QDBusConnection bus, QObject* parent) : QObject(parent), bus_(QString()) {
    Attach(std::move(bus));
}

void RingingNotice::Attach(QDBusConnection bus) {
    if (!bus.isConnected() || bus_.isConnected()) return;
    bus_ = std::move(bus);
    // No service name: naming one makes the bus library ask for its owner and
    // wait for the answer. The sender is checked against the server instead.
    bus_.connect(QString(), kPath, kInterface, "ActionInvoked", this, SLOT(ActionInvoked(uint, QString)));
    bus_.connect(QString(), kPath, kInterface, "NotificationClosed", this, SLOT(NotificationClosed(uint, uint)));
}

RingingNotice::~RingingNotice() {
    // Its buttons would do nothing once the clock has ended.
    Close();
}

void RingingNotice::Show(const std::string& summary, const std::string& body) {
    if (!bus_.isConnected()) return;
    summary_ = summary;
    body_ = body;
    wanted_ = true;
    if (!markup_) return AskCapabilities();
    Send();
}

void RingingNotice::AskCapabilities() {
    if (askedCapabilities_) return;
    askedCapabilities_ = true;
    const QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "GetCapabilities");
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QStringList> reply = *w;
        askedCapabilities_ = false;
        // No server: nothing is shown, and the next ring asks again.
        if (reply.isError()) return;
        markup_ = reply.value().contains("body-markup");
        if (wanted_) Send();
    });
}

void RingingNotice::Send() {
    if (waiting_) {
        resend_ = true;
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    QVariantMap hints;
    hints.insert("urgency", QVariant::fromValue<uchar>(2));  // critical: stays until withdrawn
    hints.insert("category", QString("x-tolvenmark.alarm"));
    hints.insert("desktop-entry", QString("tolvenmark-clock"));
    const QString title = QString::fromStdString(summary_);
    call << title << id_ << QString("tolvenmark-clock") << title << BodyText(body_, markup_.value_or(false))
         << QStringList{"snooze", "Snooze", "stop", "Stop"} << hints << qint32(0);
    waiting_ = true;
    resend_ = false;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kNoTimeout), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<uint> reply = *w;
        waiting_ = false;
        if (reply.isError()) return;
        id_ = reply.value();
        server_ = reply.reply().service();
        // Withdrawn, or changed, while the server was answering.
        if (!wanted_)
            Close();
        else if (resend_)
            Send();
    });
}

void RingingNotice::Withdraw() {
    wanted_ = false;
    resend_ = false;
    if (!waiting_) Close();
}

void RingingNotice::Close() {
    if (id_ == 0) return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "CloseNotification");
    call << id_;
    bus_.asyncCall(call);
    id_ = 0;
}

bool RingingNotice::FromServer(uint id) const {
    return id != 0 && id == id_ && (!calledFromDBus() || message().service() == server_);
}

void RingingNotice::ActionInvoked(uint id, const QString& action) {
    // Another program's notification, or ours once withdrawn, does nothing.
    if (!wanted_ || !FromServer(id)) return;
    if (action == "snooze" && OnSnooze) OnSnooze();
    if (action == "stop" && OnStop) OnStop();
}

void RingingNotice::NotificationClosed(uint id, uint) {
    // Dismissed by the user, or by the server after an action.
    if (FromServer(id)) {
        id_ = 0;
        wanted_ = false;
    }
}

}  // namespace tolvenmark
