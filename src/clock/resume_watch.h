#pragma once

#include <functional>

#include <QDBusConnection>
#include <QObject>

namespace tolvenmark {

// logind's word on the system bus that the machine is going to sleep
// (true) or has woken (false). Without the bus it says nothing.
class ResumeWatch : public QObject {
    Q_OBJECT

public:
    explicit ResumeWatch(QDBusConnection bus, QObject* parent = nullptr);

    std::function<void(bool sleeping)> OnPrepareForSleep;

private slots:
    void PrepareForSleep(bool sleeping);
};

}  // namespace tolvenmark
