#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QDBusPendingCallWatcher;

namespace tolvenmark {

// One of NetworkManager's active connections as last heard of.
struct NmActive {
    bool known = false;  // its details have arrived
    QString id;
    QString type;
    QString devicePath;
    QString device;  // interface name of its first device
    bool deviceRead = true;
    bool stateKnown = false;
    std::uint32_t state = 1;
    std::uint32_t reason = 0;
    int addedAt = 0;  // refresh count when a dial's answer named it

    bool Complete() const { return known && deviceRead; }
};

// What the dial-up component needs of NetworkManager: the profiles that dial
// and the active connections with their states. Kept up to date from
// NetworkManager's signals and at most one refresh a second; every call is
// asynchronous, so reading the model never waits on another process.
class NmModel final : public QObject {
    Q_OBJECT

public:
    explicit NmModel(QDBusConnection bus);

    bool Answered() const { return answered_; }
    // NetworkManager's name has no owner on the bus.
    bool Absent() const { return absent_; }
    const std::map<std::string, QString>& Profiles() const { return profiles_; }
    const std::vector<QString>& ActivePaths() const { return order_; }
    const NmActive* Active(const QString& path) const;

    // A refresh now, or as soon as a second has passed since the last one.
    void RefreshSoon();
    // A refresh only when the model may be behind: before the first answer,
    // after a change of profiles, or long after the last refresh.
    void KeepFresh();
    // A dial's answer names its active connection before any list shows it.
    void TakeIn(const QString& path);
    QDBusPendingCallWatcher* Call(const QString& path, const QString& iface, const QString& method,
                                  const QVariantList& args, int timeoutMs);

    std::function<void()> onAnswered;
    std::function<void()> onAbsent;  // the bus says NetworkManager is not there
    std::function<void()> onRestart;
    // An active connection's state changed, or it went away.
    std::function<void(const QString& path)> onActive;

private slots:
    void OwnerChanged(const QDBusMessage& message);
    void PropertiesChanged(const QDBusMessage& message);
    void ActiveStateChanged(const QDBusMessage& message);
    void ProfilesChanged(const QDBusMessage& message);

private:
    void Refresh();
    void ApplyActive(const std::vector<QString>& paths, int sentAt);
    void ApplyProperties(const QString& path, const QVariantMap& values, bool details);
    void ReadDetails(const QString& path, bool inRefresh);
    void ReadDevice(const QString& path, const QString& device);
    void ReadProfiles();
    void Settle();
    void Forget();
    bool FromNetworkManager(const QDBusMessage& message) const;

    QDBusConnection bus_;
    QTimer pacing_;
    QElapsedTimer sinceRefresh_;
    int epoch_ = 0;  // a NetworkManager restart makes older answers stale
    bool absent_ = false;
    bool answered_ = false;
    bool profilesDirty_ = true;
    bool profilesRetry_ = false;  // a profile's settings did not read
    QString owner_;  // NetworkManager's unique name on the bus, once it answered
    bool activeRead_ = false;
    int inFlight_ = 0;  // replies the running refresh still waits for
    int refreshes_ = 0;
    std::map<std::string, QString> profiles_;
    std::vector<QString> order_;
    std::map<QString, NmActive> active_;
};

}  // namespace tolvenmark
