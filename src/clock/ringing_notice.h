#pragma once

#include <functional>
#include <optional>
#include <string>

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>

namespace tolvenmark {

// The desktop notification of a ringing alarm, through the freedesktop
// Notifications service, with the actions "Snooze" and "Stop". Every call is
// asynchronous, so the clock never waits on the server; without a session
// bus or a server nothing is shown and nothing fails.
class RingingNotice final : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    explicit RingingNotice(QDBusConnection bus = QDBusConnection(QString()), QObject* parent = nullptr);
    ~RingingNotice() override;

    // The session bus, once there is one.
    void Attach(QDBusConnection bus);

    // Shows the notification, or replaces the one shown.
    void Show(const std::string& summary, const std::string& body);
    void Withdraw();

    std::function<void()> OnSnooze;
    std::function<void()> OnStop;

private slots:
    void ActionInvoked(uint id, const QString& action);
    void NotificationClosed(uint id, uint reason);

private:
    void AskCapabilities();
    void Send();
    void Close();
    // The signal is the server's and about ours.
    bool FromServer(uint id) const;

    QDBusConnection bus_;
    bool wanted_ = false;         // shown, or to be shown
    uint id_ = 0;                 // the server's id of ours, 0 while none
    QString server_;              // the server's name on the bus, which alone speaks for it
    bool waiting_ = false;        // a Notify not yet answered
    bool resend_ = false;         // the texts changed while waiting
    bool askedCapabilities_ = false;
    std::optional<bool> markup_;  // the server reads the body as markup
    std::string summary_;
    std::string body_;
};

}  // namespace tolvenmark
