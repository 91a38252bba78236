#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "setup/ras_backend.h"

namespace tolvenmark {

// What raised the last state notification.
enum class RasEventSource : std::uint8_t { Dial = 0, Status = 1, HangUp = 2 };

inline constexpr std::uint16_t kRasConnected = 0x2000;     // 8192
inline constexpr std::uint16_t kRasDisconnected = 0x2001;  // 8193
inline constexpr int kRasInvalidPort = 601;

// Words for a state: the state table, "Unknown State - N" below 601, the
// error's text from 601 up.
std::string RasStateText(int state, RasBackend& backend);
// An error's text, with a plain fallback when the service has none.
std::string RasErrorText(int error, RasBackend& backend);

// The dial-up component: its state and texts follow every dial step, status
// read and hang-up, and OnStateChanged is raised for each.
class TMagRasCon {
public:
    explicit TMagRasCon(std::unique_ptr<RasBackend> backend);
    TMagRasCon(const TMagRasCon&) = delete;
    TMagRasCon& operator=(const TMagRasCon&) = delete;

    std::string EntryName;
    std::string PhoneNumber;
    std::string PhoneBookPath;  // empty: the system's own
    std::function<void()> OnStateChanged;
    // The service answered after the component was made.
    std::function<void()> OnRasAvailable;
    // The service told of a change of its active connections.
    std::function<void()> OnConnectionsChanged;

    std::uint16_t ConnectState = 0;
    std::string StatusText;
    RasEventSource StateEventSource = RasEventSource::Dial;
    bool ConnectionsChanged = false;
    std::vector<std::string> PhoneBookEntries;
    std::vector<RasConnectionInfo> ActiveConnections;
    int LastError = 0;

    bool IsRasAvailable();
    int ListPhoneBookEntries();
    int DialEntry(RasHandle& handle);
    // Reads the status every 50 ms until the handle is gone or timeoutMs
    // have passed on a steady clock; it returns at once, the reads run from
    // the event loop.
    void HangUp(RasHandle handle, bool raiseEvents, int timeoutMs);
    int RefreshConnections();
    void PollStatus(RasHandle handle);

    RasBackend& Backend() { return *backend_; }

private:
    void DialProgress(std::uint16_t state, int error);
    void Raise(RasEventSource source);
    void HangUpStep(RasHandle handle, bool raiseEvents, int timeoutMs, std::chrono::steady_clock::time_point start,
                    int run);

    std::unique_ptr<RasBackend> backend_;
    int hangUpRun_ = 0;  // a newer hang-up ends the wait of an older one
};

}  // namespace tolvenmark
