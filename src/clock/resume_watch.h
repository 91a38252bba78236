#pragma once

#include <functional>

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>

namespace tolvenmark {

// logind's word on the system bus that the machine is going to sleep
// (true) or has woken (false). Without the bus it says nothing; only the
// owner of logind's name is heard, as any program may send the signal.
class ResumeWatch : public QObject, protected QDBusContext {
    Q_OBJECT

public:
    explicit ResumeWatch(QDBusConnection bus = QDBusConnection(QString()), QObject* parent = nullptr);

    // The system bus, once there is one.
    void Attach(QDBusConnection bus);

    std::function<void(bool sleeping)> OnPrepareForSleep;

private slots:
    void PrepareForSleep(bool sleeping);
    void NameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

private:
    QDBusConnection bus_;
    QString owner_;             // logind's unique name on the bus
    bool ownerChanged_ = false; // a change came before the answer to the first question
};

}  // namespace tolvenmark
