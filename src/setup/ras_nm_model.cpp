#include "setup/ras_nm_model.h"

#include <algorithm>
#include <climits>
#include <memory>

#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

#include "setup/ras_nm_backend.h"

using NmSettings = QMap<QString, QVariantMap>;
Q_DECLARE_METATYPE(NmSettings)

namespace tolvenmark {

namespace {

constexpr const char* kService = "org.freedesktop.NetworkManager";
constexpr const char* kManagerPath = "/org/freedesktop/NetworkManager";
constexpr const char* kSettingsPath = "/org/freedesktop/NetworkManager/Settings";
constexpr const char* kSettingsIface = "org.freedesktop.NetworkManager.Settings";
constexpr const char* kProfileIface = "org.freedesktop.NetworkManager.Settings.Connection";
constexpr const char* kActiveIface = "org.freedesktop.NetworkManager.Connection.Active";
constexpr const char* kProps = "org.freedesktop.DBus.Properties";
constexpr const char* kBusIface = "org.freedesktop.DBus";
// A hung NetworkManager holds back the next refresh no longer than this.
constexpr int kReadTimeoutMs = 5000;
constexpr int kRefreshMs = 1000;
// Signals keep the model; this only catches one that went astray.
constexpr int kSafetyNetMs = 30000;

std::vector<QString> PathList(const QVariant& value) {
    QList<QDBusObjectPath> list;
    if (value.userType() == qMetaTypeId<QDBusArgument>())
        list = qdbus_cast<QList<QDBusObjectPath>>(value.value<QDBusArgument>());
    else
        list = value.value<QList<QDBusObjectPath>>();
    std::vector<QString> paths;
    for (const QDBusObjectPath& p : list) paths.push_back(p.path());
    return paths;
}

QVariantMap MapOf(const QVariant& value) { return qdbus_cast<QVariantMap>(value); }

bool Replied(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
}

// No answer yet: a later refresh asks again. Any other error is an answer.
bool Unanswered(const QDBusMessage& reply) {
    const QDBusError::ErrorType type = QDBusError(reply).type();
    return type == QDBusError::NoReply || type == QDBusError::Timeout || type == QDBusError::ServiceUnknown;
}

}  // namespace

NmModel::NmModel(QDBusConnection bus) : bus_(std::move(bus)) {
    qDBusRegisterMetaType<NmSettings>();
    // No service names: naming one makes the toolkit ask the bus for its owner
    // and wait for the answer. The sender of each signal is checked instead,
    // against the owner the replies and the bus's own signal name.
    bus_.connect(QString(), "/org/freedesktop/DBus", kBusIface, "NameOwnerChanged", {kService}, QString(), this,
                 SLOT(OwnerChanged(QDBusMessage)));
    // The standard signal, and the older per-interface ones some versions still send.
    for (const char* iface : {kProps, kService, kActiveIface})
        bus_.connect(QString(), QString(), iface, "PropertiesChanged", this, SLOT(PropertiesChanged(QDBusMessage)));
    bus_.connect(QString(), QString(), kActiveIface, "StateChanged", this, SLOT(ActiveStateChanged(QDBusMessage)));
    for (const char* member : {"NewConnection", "ConnectionRemoved"})
        bus_.connect(QString(), kSettingsPath, kSettingsIface, member, this, SLOT(ProfilesChanged(QDBusMessage)));
    bus_.connect(QString(), QString(), kProfileIface, "Updated", this, SLOT(ProfilesChanged(QDBusMessage)));

    pacing_.setSingleShot(true);
    connect(&pacing_, &QTimer::timeout, this, &NmModel::Refresh);
    Refresh();
}

const NmActive* NmModel::Active(const QString& path) const {
    const auto it = active_.find(path);
    return it != active_.end() ? &it->second : nullptr;
}

QDBusPendingCallWatcher* NmModel::Call(const QString& path, const QString& iface, const QString& method,
                                       const QVariantList& args, int timeoutMs) {
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, iface, method);
    message.setArguments(args);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(message, timeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, watcher, &QObject::deleteLater);
    return watcher;
}

void NmModel::RefreshSoon() { Refresh(); }

void NmModel::KeepFresh() {
    if (answered_ && !profilesDirty_ && sinceRefresh_.isValid() && sinceRefresh_.elapsed() < kSafetyNetMs) return;
    Refresh();
}

void NmModel::Refresh() {
    if (inFlight_ > 0 || absent_) return;
    if (sinceRefresh_.isValid() && sinceRefresh_.elapsed() < kRefreshMs) {
        if (!pacing_.isActive()) pacing_.start(static_cast<int>(kRefreshMs - sinceRefresh_.elapsed()));
        return;
    }
    sinceRefresh_.start();
    const int id = ++refreshes_;
    const int epoch = epoch_;
    ++inFlight_;
    auto* watcher = Call(kManagerPath, kProps, "Get", {kService, "ActiveConnections"}, kReadTimeoutMs);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, id, epoch] {
        if (epoch != epoch_) return;
        const QDBusMessage reply = watcher->reply();
        if (Replied(reply)) {
            owner_ = reply.service();
            activeRead_ = true;
            ApplyActive(PathList(reply.arguments().at(0).value<QDBusVariant>().variant()), id);
            // Signals may be missed; the states of the dialing ones are read again.
            for (const QString& path : order_)
                if (active_[path].known && IsDialingConnectionType(active_[path].type.toStdString()))
                    ReadDetails(path, true);
        } else if (QDBusError(reply).type() == QDBusError::ServiceUnknown) {
            absent_ = true;  // until its name comes back
            if (onAbsent) onAbsent();
        }
        Settle();
    });
    if (profilesDirty_ || profilesRetry_) ReadProfiles();
}

void NmModel::ReadProfiles() {
    profilesDirty_ = false;
    profilesRetry_ = false;
    ++inFlight_;
    const int epoch = epoch_;
    auto* list = Call(kSettingsPath, kSettingsIface, "ListConnections", {}, kReadTimeoutMs);
    connect(list, &QDBusPendingCallWatcher::finished, this, [this, list, epoch] {
        if (epoch != epoch_) return;
        const QDBusMessage reply = list->reply();
        if (!Replied(reply)) {
            if (Unanswered(reply)) profilesDirty_ = true;
            Settle();
            return;
        }
        auto read = std::make_shared<std::map<std::string, QString>>();
        auto left = std::make_shared<int>(0);
        for (const QString& path : PathList(reply.arguments().at(0))) {
            ++*left;
            ++inFlight_;
            auto* one = Call(path, kProfileIface, "GetSettings", {}, kReadTimeoutMs);
            connect(one, &QDBusPendingCallWatcher::finished, this, [this, one, path, read, left, epoch] {
                if (epoch != epoch_) return;
                const QDBusMessage r = one->reply();
                if (Replied(r)) {
                    const QVariantMap c = qdbus_cast<NmSettings>(r.arguments().at(0).value<QDBusArgument>()).value("connection");
                    const std::string name = c.value("id").toString().toStdString();
                    if (!name.empty() && IsDialingConnectionType(c.value("type").toString().toStdString()))
                        read->emplace(name, path);
                } else {
                    // Kept as last read, and read again at the next refresh.
                    profilesRetry_ = true;
                    for (const auto& [name, known] : profiles_)
                        if (known == path) read->emplace(name, path);
                }
                if (--*left == 0) profiles_ = std::move(*read);
                Settle();
            });
        }
        if (*left == 0) profiles_.clear();
        Settle();
    });
}

void NmModel::Settle() {
    if (--inFlight_ > 0) return;
    if (!answered_ && activeRead_ && !profilesDirty_) {
        answered_ = true;
        if (onAnswered) onAnswered();
    }
}

void NmModel::ApplyActive(const std::vector<QString>& paths, int sentAt) {
    std::vector<QString> gone;
    for (const QString& path : order_) {
        if (std::find(paths.begin(), paths.end(), path) != paths.end()) continue;
        // A dial's answer may be newer than the list that lacks it.
        if (active_[path].addedAt >= sentAt) continue;
        gone.push_back(path);
    }
    for (const QString& path : paths)
        if (!active_.contains(path)) {
            active_[path] = NmActive{};
            ReadDetails(path, false);
        }
    std::vector<QString> order = paths;
    for (const QString& path : order_)
        if (std::find(order.begin(), order.end(), path) == order.end() &&
            std::find(gone.begin(), gone.end(), path) == gone.end())
            order.push_back(path);
    order_ = std::move(order);
    for (const QString& path : gone) {
        active_.erase(path);
        if (onActive) onActive(path);
    }
}

void NmModel::TakeIn(const QString& path) {
    if (active_.contains(path)) return;
    NmActive taken;
    taken.addedAt = refreshes_;
    active_[path] = taken;
    order_.push_back(path);
    ReadDetails(path, false);
}

void NmModel::ReadDetails(const QString& path, bool inRefresh) {
    if (inRefresh) ++inFlight_;
    const int epoch = epoch_;
    auto* watcher = Call(path, kProps, "GetAll", {kActiveIface}, kReadTimeoutMs);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, path, inRefresh, epoch] {
        if (epoch != epoch_) return;
        const QDBusMessage reply = watcher->reply();
        if (Replied(reply)) ApplyProperties(path, MapOf(reply.arguments().at(0)), true);
        if (inRefresh) Settle();
    });
}

void NmModel::ApplyProperties(const QString& path, const QVariantMap& values, bool details) {
    const auto it = active_.find(path);
    if (it == active_.end()) return;
    NmActive& a = it->second;
    bool changed = details && !a.known;
    a.known = a.known || details;
    if (values.contains("Id")) a.id = values.value("Id").toString();
    if (values.contains("Type")) a.type = values.value("Type").toString();
    if (values.contains("State")) {
        const std::uint32_t state = values.value("State").toUInt();
        changed = changed || state != a.state || !a.stateKnown;
        a.state = state;
        a.stateKnown = true;
    }
    if (values.contains("Devices")) {
        const std::vector<QString> devices = PathList(values.value("Devices"));
        const QString first = devices.empty() ? QString() : devices.front();
        if (first != a.devicePath) {
            a.devicePath = first;
            a.device.clear();
            a.deviceRead = first.isEmpty() || !IsDialingConnectionType(a.type.toStdString());
            if (!a.deviceRead) ReadDevice(path, first);
        }
    }
    if (changed && onActive) onActive(path);
}

void NmModel::ReadDevice(const QString& path, const QString& device) {
    const int epoch = epoch_;
    auto* watcher = Call(device, kProps, "Get", {"org.freedesktop.NetworkManager.Device", "Interface"}, kReadTimeoutMs);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, path, device, epoch] {
        if (epoch != epoch_) return;
        const auto it = active_.find(path);
        if (it == active_.end() || it->second.devicePath != device) return;
        const QDBusMessage reply = watcher->reply();
        if (Replied(reply)) it->second.device = reply.arguments().at(0).value<QDBusVariant>().variant().toString();
        it->second.deviceRead = true;
    });
}

void NmModel::PropertiesChanged(const QDBusMessage& message) {
    if (!FromNetworkManager(message)) return;
    const QVariantList args = message.arguments();
    QString iface = message.interface();
    QVariantMap values;
    if (iface == kProps) {
        if (args.size() < 2) return;
        iface = args.at(0).toString();
        values = MapOf(args.at(1));
    } else {
        if (args.isEmpty()) return;
        values = MapOf(args.at(0));
    }
    if (iface == kService && message.path() == kManagerPath) {
        // A signal tells the present: nothing newer can be missing from it.
        if (values.contains("ActiveConnections")) ApplyActive(PathList(values.value("ActiveConnections")), INT_MAX);
    } else if (iface == kActiveIface) {
        ApplyProperties(message.path(), values, false);
    }
}

void NmModel::ActiveStateChanged(const QDBusMessage& message) {
    if (!FromNetworkManager(message)) return;
    const QVariantList args = message.arguments();
    const auto it = active_.find(message.path());
    if (args.size() < 2 || it == active_.end()) return;
    it->second.state = args.at(0).toUInt();
    it->second.reason = args.at(1).toUInt();
    it->second.stateKnown = true;
    if (onActive) onActive(message.path());
}

void NmModel::ProfilesChanged(const QDBusMessage& message) {
    if (!FromNetworkManager(message)) return;
    profilesDirty_ = true;
    Refresh();
}

bool NmModel::FromNetworkManager(const QDBusMessage& message) const {
    return !owner_.isEmpty() && message.service() == owner_;
}

void NmModel::OwnerChanged(const QDBusMessage& message) {
    const QVariantList args = message.arguments();
    if (message.service() != kBusIface || args.size() < 3 || args.at(0).toString() != kService) return;
    const QString newOwner = args.at(2).toString();
    owner_ = newOwner;
    // A new NetworkManager numbers its active connections afresh.
    ++epoch_;
    inFlight_ = 0;
    answered_ = false;
    activeRead_ = false;
    profilesDirty_ = true;
    profiles_.clear();
    order_.clear();
    active_.clear();
    absent_ = newOwner.isEmpty();
    if (onRestart) onRestart();
    Refresh();
}

}  // namespace tolvenmark
