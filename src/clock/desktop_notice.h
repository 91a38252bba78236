#pragma once

#include <string>

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>

namespace tolvenmark {

// A plain notice (a missed alarm) through the desktop's notification service
// on the session bus, once that service has answered; where there is none the
// caller shows its own. Every call is asynchronous.
class DesktopNotice final : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    explicit DesktopNotice(QObject* parent = nullptr);

    // The session bus, once there is one: asks for the service.
    void Attach(QDBusConnection bus);
    bool Available() const { return server_; }
    // Sent; false when no service is known to be there.
    bool Show(const std::string& summary, const std::string& body);

private slots:
    void NameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

private:
    QDBusConnection bus_;
    bool server_ = false;
    bool markup_ = false;
};

}  // namespace tolvenmark
