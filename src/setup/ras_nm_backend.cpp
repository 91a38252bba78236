#include "setup/ras_nm_backend.h"

#include <map>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QTimer>

using NmSettings = QMap<QString, QVariantMap>;
Q_DECLARE_METATYPE(NmSettings)

namespace tolvenmark {

namespace {

constexpr const char* kService = "org.freedesktop.NetworkManager";
constexpr const char* kManagerPath = "/org/freedesktop/NetworkManager";
constexpr const char* kSettingsPath = "/org/freedesktop/NetworkManager/Settings";
constexpr const char* kActiveIface = "org.freedesktop.NetworkManager.Connection.Active";
constexpr int kCallTimeoutMs = 2000;
constexpr int kDialPollMs = 200;

// Receives the active connections' state signals, which carry the reason.
class NmSignalSink : public QObject, protected QDBusContext {
    Q_OBJECT

public:
    std::function<void(const QString& path, uint state, uint reason)> onState;

public slots:
    void StateChanged(uint state, uint reason) {
        if (onState) onState(message().path(), state, reason);
    }
};

class NmBackend final : public RasBackend {
public:
    explicit NmBackend(QDBusConnection bus) : bus_(std::move(bus)) {
        sink_.onState = [this](const QString& path, uint state, uint reason) { Seen(path, MapNmState(state, reason)); };
        bus_.connect(kService, QString(), kActiveIface, "StateChanged", &sink_, SLOT(StateChanged(uint, uint)));
        poll_.setInterval(kDialPollMs);
        QObject::connect(&poll_, &QTimer::timeout, [this] { PollDial(); });
    }

    bool Answers() {
        bool ok = false;
        Property(kManagerPath, kService, "Version", &ok);
        return ok;
    }

    bool Available() override { return bus_.isConnected(); }

    int Entries(std::vector<std::string>& names) override {
        ReadProfiles();
        names.clear();
        for (const auto& [name, path] : profiles_) names.push_back(name);
        return 0;
    }

    int DialParams(const std::string& entry) override {
        ReadProfiles();
        return profiles_.contains(entry) ? 0 : 623;
    }

    int Dial(const std::string& entry, const std::string&, RasHandle& handle) override {
        const auto it = profiles_.find(entry);
        if (it == profiles_.end()) return 623;
        QDBusInterface manager(kService, kManagerPath, kService, bus_);
        manager.setTimeout(kCallTimeoutMs);
        const QDBusMessage reply = manager.call("ActivateConnection", QVariant::fromValue(QDBusObjectPath(it->second)),
                                                QVariant::fromValue(QDBusObjectPath("/")),
                                                QVariant::fromValue(QDBusObjectPath("/")));
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return 633;
        const QString active = reply.arguments().at(0).value<QDBusObjectPath>().path();
        handle = HandleOf(active);
        dialing_ = handle;
        lastSeen_.erase(handle);
        poll_.start();
        // The first step is reported from the event loop, as a dial's are.
        QTimer::singleShot(0, [this] { PollDial(); });
        return 0;
    }

    int HangUp(RasHandle handle) override {
        const auto it = paths_.find(handle);
        if (it == paths_.end()) return 6;
        QDBusInterface manager(kService, kManagerPath, kService, bus_);
        manager.setTimeout(kCallTimeoutMs);
        manager.call("DeactivateConnection", QVariant::fromValue(QDBusObjectPath(it->second)));
        return 0;
    }

    int ConnectStatus(RasHandle handle, std::uint16_t& state, int& error) override {
        const auto it = paths_.find(handle);
        if (it == paths_.end()) return 6;
        bool ok = false;
        const QVariant nmState = Property(it->second, kActiveIface, "State", &ok);
        if (!ok) return 6;  // gone
        NmDialState mapped = MapNmState(nmState.toUInt(), 0);
        const auto failed = failures_.find(handle);
        if (mapped.state == 8193 && failed != failures_.end()) mapped = failed->second;
        state = mapped.state;
        error = mapped.error;
        return 0;
    }

    int Connections(std::vector<RasConnectionInfo>& list) override {
        list.clear();
        bool ok = false;
        const QVariant value = Property(kManagerPath, kService, "ActiveConnections", &ok);
        if (!ok) return 0;
        for (const QDBusObjectPath& p : Paths(value)) {
            const QString type = Property(p.path(), kActiveIface, "Type", &ok).toString();
            if (!ok || !IsDialingConnectionType(type.toStdString())) continue;
            RasConnectionInfo info;
            info.handle = HandleOf(p.path());
            info.entryName = Property(p.path(), kActiveIface, "Id", &ok).toString().toStdString();
            info.deviceType = type.toStdString();
            const QList<QDBusObjectPath> devices = Paths(Property(p.path(), kActiveIface, "Devices", &ok));
            if (!devices.isEmpty())
                info.deviceName = Property(devices.front().path(), "org.freedesktop.NetworkManager.Device",
                                           "Interface", &ok)
                                      .toString()
                                      .toStdString();
            list.push_back(std::move(info));
        }
        return 0;
    }

    std::string ErrorText(int) override { return ""; }

private:
    QVariant Property(const QString& path, const QString& iface, const QString& name, bool* ok) {
        QDBusInterface props(kService, path, "org.freedesktop.DBus.Properties", bus_);
        props.setTimeout(kCallTimeoutMs);
        const QDBusMessage reply = props.call("Get", iface, name);
        *ok = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
        return *ok ? reply.arguments().at(0).value<QDBusVariant>().variant() : QVariant();
    }

    static QList<QDBusObjectPath> Paths(const QVariant& value) {
        if (value.canConvert<QDBusArgument>()) return qdbus_cast<QList<QDBusObjectPath>>(value.value<QDBusArgument>());
        return value.value<QList<QDBusObjectPath>>();
    }

    void ReadProfiles() {
        profiles_.clear();
        QDBusInterface settings(kService, kSettingsPath, "org.freedesktop.NetworkManager.Settings", bus_);
        settings.setTimeout(kCallTimeoutMs);
        const QDBusMessage list = settings.call("ListConnections");
        if (list.type() != QDBusMessage::ReplyMessage || list.arguments().isEmpty()) return;
        for (const QDBusObjectPath& p : Paths(list.arguments().at(0))) {
            QDBusInterface connection(kService, p.path(), "org.freedesktop.NetworkManager.Settings.Connection", bus_);
            connection.setTimeout(kCallTimeoutMs);
            const QDBusMessage reply = connection.call("GetSettings");
            if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) continue;
            const NmSettings s = qdbus_cast<NmSettings>(reply.arguments().at(0).value<QDBusArgument>());
            const QVariantMap c = s.value("connection");
            const std::string name = c.value("id").toString().toStdString();
            if (!name.empty() && IsDialingConnectionType(c.value("type").toString().toStdString()))
                profiles_.emplace(name, p.path());
        }
    }

    RasHandle HandleOf(const QString& path) {
        for (const auto& [h, p] : paths_)
            if (p == path) return h;
        paths_[next_] = path;
        return next_++;
    }

    // A state of the dial in progress, from a signal or a poll, told once.
    void Seen(const QString& path, NmDialState s) {
        RasHandle handle = 0;
        for (const auto& [h, p] : paths_)
            if (p == path) handle = h;
        if (handle == 0) return;
        if (s.error) failures_[handle] = s;
        if (handle != dialing_) return;
        const auto last = lastSeen_.find(handle);
        if (last != lastSeen_.end() && last->second.state == s.state && last->second.error == s.error) return;
        lastSeen_[handle] = s;
        if (s.state == 8192 || s.state == 8193) {
            dialing_ = 0;
            poll_.stop();
        }
        if (notify) notify(handle, s.state, s.error);
    }

    void PollDial() {
        if (dialing_ == 0) return;
        const QString path = paths_[dialing_];
        std::uint16_t state = 0;
        int error = 0;
        if (ConnectStatus(dialing_, state, error) != 0) {
            state = 8193;  // went away before it came up
            const auto failed = failures_.find(dialing_);
            if (failed != failures_.end()) error = failed->second.error;
        }
        Seen(path, {state, error});
    }

    QDBusConnection bus_;
    NmSignalSink sink_;
    QTimer poll_;
    std::map<std::string, QString> profiles_;
    std::map<RasHandle, QString> paths_;
    std::map<RasHandle, NmDialState> failures_;
    std::map<RasHandle, NmDialState> lastSeen_;
    RasHandle dialing_ = 0;
    RasHandle next_ = 1;
};

}  // namespace

bool IsDialingConnectionType(const std::string& type) {
    return type == "gsm" || type == "cdma" || type == "pppoe" || type == "adsl" || type == "vpn";
}

NmDialState MapNmState(std::uint32_t nmState, std::uint32_t reason) {
    switch (nmState) {
    case 1: return {2, 0};
    case 2: return {8192, 0};
    case 3:
    case 4: break;
    default: return {0, 0};
    }
    static const std::map<std::uint32_t, int> errors = {
        {3, 619}, {4, 619}, {5, 720}, {6, 678}, {7, 678}, {8, 633},
        {9, 691}, {10, 691}, {11, 623}, {12, 633}, {13, 633}, {14, 633},
    };
    const auto it = errors.find(reason);
    return {8193, it != errors.end() ? it->second : 0};
}

std::unique_ptr<RasBackend> MakeNetworkManagerBackend(const std::string& busAddress) {
    qDBusRegisterMetaType<NmSettings>();
    QDBusConnection bus = busAddress.empty()
                              ? QDBusConnection::systemBus()
                              : QDBusConnection::connectToBus(QString::fromStdString(busAddress),
                                                                              QString::fromStdString("tolvenmark-nm " + busAddress));
    if (!bus.isConnected()) return nullptr;
    auto backend = std::make_unique<NmBackend>(bus);
    if (!backend->Answers()) return nullptr;
    return backend;
}

}  // namespace tolvenmark

#include "ras_nm_backend.moc"
