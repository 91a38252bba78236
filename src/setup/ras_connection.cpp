#include "setup/ras_connection.h"

#include <map>

namespace tolvenmark {

namespace {

const std::map<int, const char*>& StateTable() {
    static const std::map<int, const char*> table = {
        {0, "Opening Serial Port"},
        {1, "Serial Port Opened"},
        {2, "Connecting/Dialling"},
        {3, "Connected/Answered"},
        {4, "Connected/Negotiation"},
        {5, "Validating User and Password"},
        {6, "Authentication Notification"},
        {8, "Authentication Call Back"},
        {10, "Projection Started"},
        {11, "Calculating Link speed"},
        {12, "Authentication acknowledged"},
        {13, "Reauthenticating"},
        {14, "Login Authenticated"},
        {15, "Preparing for Callback"},
        {16, "Waiting for Modem Reset"},
        {17, "Waiting for Callback"},
        {18, "Projection Completion"},
        {19, "Start Authentication"},
        {20, "Callback Complete"},
        {21, "Logon to Network"},
        {22, "Extra Channel Connected"},
        {23, "Extra Channel Disconnected"},
        {4096, "Interactive Terminal"},
        {4097, "Retry Authentication"},
        {4098, "Callback Set By Caller"},
        {4099, "Password Expires"},
        {4100, "Paused for Authentication"},
        {8192, "Connected/Online"},
        {8193, "Disconnected/Offline"},
    };
    return table;
}

constexpr int kStatusPollMs = 50;

}  // namespace

std::string RasErrorText(int error, RasBackend& backend) {
    if (error == kRasNotAvailable) return "RASAPI32.DLL Not Available";
    std::string text = backend.ErrorText(error);
    if (!text.empty()) return text;
    static const std::map<int, const char*> common = {
        {601, "The connection handle is not valid."},
        {619, "The connection was closed."},
        {623, "The phone book entry was not found."},
        {633, "The device is not available."},
        {638, "The request has timed out."},
        {678, "There was no answer."},
        {691, "Access was denied: the user name or password is not valid."},
        {720, "No network settings could be agreed on."},
    };
    const auto it = common.find(error);
    return it != common.end() ? it->second : "Remote access error " + std::to_string(error);
}

std::string RasStateText(int state, RasBackend& backend) {
    const auto it = StateTable().find(state);
    if (it != StateTable().end()) return it->second;
    if (state < 601) return "Unknown State - " + std::to_string(state);
    return RasErrorText(state, backend);
}

TMagRasCon::TMagRasCon(std::unique_ptr<RasBackend> backend) : backend_(std::move(backend)) {
    backend_->notify = [this](RasHandle, std::uint16_t state, int error) { DialProgress(state, error); };
    backend_->availabilityChanged = [this] {
        if (OnRasAvailable) OnRasAvailable();
    };
    backend_->connectionsChanged = [this] {
        if (OnConnectionsChanged) OnConnectionsChanged();
    };
}

void TMagRasCon::Raise(RasEventSource source) {
    StateEventSource = source;
    if (OnStateChanged) OnStateChanged();
}

void TMagRasCon::DialProgress(std::uint16_t state, int error) {
    ConnectState = static_cast<std::uint16_t>(error != 0 ? error : state);
    StatusText = RasStateText(ConnectState, *backend_);
    Raise(RasEventSource::Dial);
}

bool TMagRasCon::IsRasAvailable() {
    if (backend_->Available()) return true;
    LastError = kRasNotAvailable;
    StatusText = RasErrorText(kRasNotAvailable, *backend_);
    return false;
}

int TMagRasCon::ListPhoneBookEntries() {
    PhoneBookEntries.clear();
    if (!IsRasAvailable()) return LastError;
    std::vector<std::string> names;
    LastError = backend_->Entries(names);
    if (LastError != 0) return LastError;
    if (names.size() > 100) names.resize(100);
    PhoneBookEntries = std::move(names);
    return 0;
}

int TMagRasCon::DialEntry(RasHandle& handle) {
    handle = 0;
    ++hangUpRun_;  // an older hang-up's reads would overwrite the dial's state
    if (!IsRasAvailable()) return LastError;
    LastError = backend_->DialParams(EntryName);
    if (LastError == 0) {
        ConnectState = 0;
        LastError = backend_->Dial(EntryName, PhoneNumber, handle);
    }
    if (LastError != 0) StatusText = RasErrorText(LastError, *backend_);
    return LastError;
}

void TMagRasCon::HangUp(RasHandle handle, bool raiseEvents, int timeoutMs) {
    ConnectState = 0;
    if (!backend_->Available()) return;
    backend_->HangUp(handle);
    HangUpStep(handle, raiseEvents, timeoutMs, backend_->Now(), ++hangUpRun_);
}

void TMagRasCon::HangUpStep(RasHandle handle, bool raiseEvents, int timeoutMs,
                            std::chrono::steady_clock::time_point start, int run) {
    if (run != hangUpRun_) return;
    std::uint16_t state = 0;
    int error = 0;
    const int result = backend_->ConnectStatus(handle, state, error);
    const std::uint16_t now = result != 0 ? kRasInvalidPort : static_cast<std::uint16_t>(error ? error : state);
    if (now != ConnectState) {
        ConnectState = now;
        StatusText = RasStateText(now, *backend_);
        if (raiseEvents) Raise(RasEventSource::HangUp);
    }
    // Elapsed time, not a count of reads: a slow read must not stretch the wait.
    if (result != 0 || now == kRasInvalidPort || backend_->Now() - start >= std::chrono::milliseconds(timeoutMs)) return;
    backend_->After(kStatusPollMs, [=, this] { HangUpStep(handle, raiseEvents, timeoutMs, start, run); });
}

int TMagRasCon::RefreshConnections() {
    std::vector<RasConnectionInfo> list;
    LastError = backend_->Connections(list);
    if (LastError != 0) list.clear();
    if (list.size() > 8) list.resize(8);
    ConnectionsChanged = list != ActiveConnections;
    ActiveConnections = std::move(list);
    return LastError;
}

void TMagRasCon::PollStatus(RasHandle handle) {
    int result = kRasInvalidPort;
    std::uint16_t state = kRasInvalidPort;
    int error = kRasInvalidPort;
    // Handle 0 has no status; the service is not asked.
    if (handle != 0) result = backend_->ConnectStatus(handle, state, error);
    LastError = result;
    if (result == 0) {
        ConnectState = static_cast<std::uint16_t>(error ? error : state);
        StatusText = RasStateText(ConnectState, *backend_);
    } else {
        ConnectState = static_cast<std::uint16_t>(result);
        if (result == 6)
            StatusText = "Disconnected";
        else if (result == 8)
            StatusText = "Not enough memory";
        else if (result == 600)
            StatusText = "Device Connecting/Dialling";
        else
            StatusText = RasStateText(result, *backend_);
    }
    Raise(RasEventSource::Status);
}

}  // namespace tolvenmark
