#pragma once

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
    // Blocks its caller while it waits, polling every 50 ms.
    void HangUp(RasHandle handle, bool raiseEvents, int timeoutMs);
    int RefreshConnections();
    void PollStatus(RasHandle handle);

    RasBackend& Backend() { return *backend_; }
    // How the hang-up wait passes time (tests pass none).
    std::function<void(int ms)> sleep;

private:
    void DialProgress(std::uint16_t state, int error);
    void Raise(RasEventSource source);

    std::unique_ptr<RasBackend> backend_;
};

}  // namespace tolvenmark
