#include "setup/ras_nm_backend.h"

#include <map>

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QTimer>

#include "setup/ras_nm_model.h"

namespace tolvenmark {

namespace {

constexpr const char* kService = "org.freedesktop.NetworkManager";
constexpr const char* kManagerPath = "/org/freedesktop/NetworkManager";
// The dial-up component's own hang-up wait; a dial's first answer gets as long.
constexpr int kAnswerTimeoutMs = 3000;
constexpr int kRequestTimedOut = 638;
constexpr int kDeviceNotAvailable = 633;

class NmBackend final : public RasBackend {
public:
    explicit NmBackend(QDBusConnection bus) : model_(std::move(bus)) {
        model_.onAnswered = [this] {
            if (availabilityChanged) availabilityChanged();
        };
        model_.onRestart = [this] { Restarted(); };
        model_.onAbsent = [this] {
            if (availabilityChanged) availabilityChanged();
        };
        model_.onActive = [this](const QString& path) {
            ActiveChanged(path);
            if (connectionsChanged) connectionsChanged();
        };
        // A dial goes on while the connection watch sleeps.
        dialPacer_.setInterval(1000);
        QObject::connect(&dialPacer_, &QTimer::timeout, &model_, [this] { model_.RefreshSoon(); });
    }

    bool Available() override { return model_.Answered(); }
    bool Absent() override { return model_.Absent(); }

    int Entries(std::vector<std::string>& names) override {
        names.clear();
        for (const auto& [name, path] : model_.Profiles()) names.push_back(name);
        return 0;
    }

    int DialParams(const std::string& entry) override { return model_.Profiles().contains(entry) ? 0 : 623; }

    int Dial(const std::string& entry, const std::string&, RasHandle& handle) override {
        const auto it = model_.Profiles().find(entry);
        if (it == model_.Profiles().end()) return 623;
        handle = next_++;
        handles_[handle] = Handle{};
        dialing_ = handle;
        told_ = false;
        dialPacer_.start();
        auto* watcher = model_.Call(kManagerPath, kService, "ActivateConnection",
                                    {QVariant::fromValue(QDBusObjectPath(it->second)),
                                     QVariant::fromValue(QDBusObjectPath("/")), QVariant::fromValue(QDBusObjectPath("/"))},
                                    kAnswerTimeoutMs);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &model_,
                         [this, watcher, handle] { DialAnswered(handle, watcher->reply()); });
        return 0;
    }

    int HangUp(RasHandle handle) override {
        const auto it = handles_.find(handle);
        if (it == handles_.end()) return 6;
        if (it->second.path.isEmpty())
            it->second.hangUp = true;  // once the dial's answer names it
        else
            Deactivate(it->second.path);
        model_.RefreshSoon();
        return 0;
    }

    int ConnectStatus(RasHandle handle, std::uint16_t& state, int& error) override {
        const auto it = handles_.find(handle);
        if (it == handles_.end()) return 6;
        const NmDialState s = StateOf(it->second);
        state = s.state;
        error = s.error;
        return 0;
    }

    int Connections(std::vector<RasConnectionInfo>& list) override {
        model_.KeepFresh();
        list.clear();
        for (const QString& path : model_.ActivePaths()) {
            const NmActive* a = model_.Active(path);
            if (!a->Complete() || !IsDialingConnectionType(a->type.toStdString())) continue;
            list.push_back({HandleOf(path), a->id.toStdString(), a->type.toStdString(), a->device.toStdString()});
        }
        return 0;
    }

    std::string ErrorText(int) override { return ""; }

    void After(int ms, std::function<void()> step) override { QTimer::singleShot(ms, &model_, std::move(step)); }

private:
    struct Handle {
        QString path;  // empty until the dial's answer
        bool hangUp = false;
        NmDialState failure;
    };

    NmDialState StateOf(const Handle& h) const {
        if (h.path.isEmpty()) return {2, 0};
        const NmActive* a = model_.Active(h.path);
        if (!a || !a->stateKnown) return {2, 0};
        const NmDialState s = MapNmState(a->state, a->reason);
        return s.state == 8193 && h.failure.error ? h.failure : s;
    }

    void DialAnswered(RasHandle handle, const QDBusMessage& reply) {
        const auto it = handles_.find(handle);
        if (it == handles_.end()) return;
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            const QDBusError::ErrorType type = QDBusError(reply).type();
            const bool late = type == QDBusError::NoReply || type == QDBusError::Timeout;
            handles_.erase(it);
            Tell(handle, {8193, late ? kRequestTimedOut : kDeviceNotAvailable});
            return;
        }
        it->second.path = reply.arguments().at(0).value<QDBusObjectPath>().path();
        model_.TakeIn(it->second.path);
        if (it->second.hangUp) Deactivate(it->second.path);
        ActiveChanged(it->second.path);
    }

    void Deactivate(const QString& path) {
        model_.Call(kManagerPath, kService, "DeactivateConnection", {QVariant::fromValue(QDBusObjectPath(path))},
                    kAnswerTimeoutMs);
    }

    RasHandle HandleOf(const QString& path) {
        for (const auto& [h, record] : handles_)
            if (record.path == path) return h;
        handles_[next_].path = path;
        return next_++;
    }

    // A state of a connection we hold a handle for; the dial in progress hears of it.
    void ActiveChanged(const QString& path) {
        RasHandle handle = 0;
        for (const auto& [h, record] : handles_)
            if (record.path == path) handle = h;
        if (handle == 0) return;
        Handle& h = handles_[handle];
        const NmActive* a = model_.Active(path);
        NmDialState s;
        if (!a) {
            s = {8193, h.failure.error};  // went away; its number may come back for another
            handles_.erase(handle);
        } else {
            if (!a->stateKnown) return;
            s = StateOf(h);
            if (s.error) h.failure = s;
        }
        if (handle == dialing_) Tell(handle, s);
    }

    // Each dial state once; the dial ends with connected or disconnected.
    void Tell(RasHandle handle, NmDialState s) {
        if (handle != dialing_) return;
        if (lastTold_.state == s.state && lastTold_.error == s.error && told_) return;
        told_ = true;
        lastTold_ = s;
        if (s.state == 8192 || s.state == 8193) EndDial();
        if (notify) notify(handle, s.state, s.error);
    }

    void EndDial() {
        dialing_ = 0;
        told_ = false;
        dialPacer_.stop();
    }

    void Restarted() {
        const RasHandle dialing = dialing_;
        handles_.clear();
        if (dialing != 0) Tell(dialing, {8193, 0});
        EndDial();
    }

    NmModel model_;
    QTimer dialPacer_;
    std::map<RasHandle, Handle> handles_;
    RasHandle dialing_ = 0;
    bool told_ = false;
    NmDialState lastTold_;
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
    QDBusConnection bus = busAddress.empty()
                              ? QDBusConnection::systemBus()
                              : QDBusConnection::connectToBus(QString::fromStdString(busAddress),
                                                              QString::fromStdString("tolvenmark-nm " + busAddress));
    return MakeNetworkManagerBackend(bus);
}

std::unique_ptr<RasBackend> MakeNetworkManagerBackend(QDBusConnection bus) {
    if (!bus.isConnected()) return nullptr;
    return std::make_unique<NmBackend>(bus);
}

}  // namespace tolvenmark
