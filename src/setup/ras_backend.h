#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tolvenmark {

using RasHandle = std::uint32_t;

// One active connection as the dial-up component lists it.
struct RasConnectionInfo {
    RasHandle handle = 0;
    std::string entryName;
    std::string deviceType;
    std::string deviceName;
    bool operator==(const RasConnectionInfo&) const = default;
};

// The machine's dial-up service under the dial-up component. Calls return 0
// or a remote access error number at once, never waiting on another
// process; progress of a dial arrives later through notify, on the thread
// that runs the program's event loop.
class RasBackend {
public:
    virtual ~RasBackend() = default;
    virtual bool Available() = 0;
    virtual int Entries(std::vector<std::string>& names) = 0;
    // Whether the entry's stored dial parameters can be read.
    virtual int DialParams(const std::string& entry) = 0;
    virtual int Dial(const std::string& entry, const std::string& phoneNumber, RasHandle& handle) = 0;
    virtual int HangUp(RasHandle handle) = 0;
    // The call's own result (6 for a handle that is gone), and the
    // connection's state and error.
    virtual int ConnectStatus(RasHandle handle, std::uint16_t& state, int& error) = 0;
    virtual int Connections(std::vector<RasConnectionInfo>& list) = 0;
    // Words for an error number of this service, "" when it has none.
    virtual std::string ErrorText(int error) = 0;

    // Time as dial and hang-up waits measure it, and how they pass it: step
    // runs after ms from the event loop (here, in place, for plain callers).
    virtual std::chrono::steady_clock::time_point Now() { return std::chrono::steady_clock::now(); }
    virtual void After(int ms, std::function<void()> step) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        step();
    }

    std::function<void(RasHandle handle, std::uint16_t state, int error)> notify;
    // The service answered for the first time, or again after a restart.
    std::function<void()> availabilityChanged;
    // An active connection came, went or changed its state.
    std::function<void()> connectionsChanged;
    // The service is known not to be there (rather than not answered yet).
    virtual bool Absent() { return !Available(); }
};

inline constexpr int kRasNotAvailable = 1157;

// No dial-up service on this machine: only "Local Area Network (LAN)" is meaningful.
class UnavailableRasBackend final : public RasBackend {
public:
    bool Available() override { return false; }
    int Entries(std::vector<std::string>&) override { return kRasNotAvailable; }
    int DialParams(const std::string&) override { return kRasNotAvailable; }
    int Dial(const std::string&, const std::string&, RasHandle&) override { return kRasNotAvailable; }
    int HangUp(RasHandle) override { return kRasNotAvailable; }
    int ConnectStatus(RasHandle, std::uint16_t&, int&) override { return kRasNotAvailable; }
    int Connections(std::vector<RasConnectionInfo>& list) override {
        list.clear();
        return 0;
    }
    std::string ErrorText(int) override { return ""; }
};

// NetworkManager when the system bus is there (unavailable until it
// answers), else unavailable.
std::unique_ptr<RasBackend> MakeSystemRasBackend();

}  // namespace tolvenmark
