#pragma once

#include <map>
#include <string>
#include <vector>

#include "setup/ras_backend.h"

namespace tolvenmark::testing {

// The dial-up service as a test scripts it: a phone book, the connections
// that are up, each handle's status, and dial progress sent on request.
class ScriptedRasBackend final : public RasBackend {
public:
    struct Status {
        int result = 0;
        std::uint16_t state = 0;
        int error = 0;
    };

    bool Available() override { return available; }
    int Entries(std::vector<std::string>& names) override {
        names = entries;
        return 0;
    }
    int DialParams(const std::string&) override { return dialParamsError; }
    int Dial(const std::string& entry, const std::string& phone, RasHandle& handle) override {
        dialed.push_back(entry + "|" + phone);
        if (dialError) return dialError;
        handle = nextHandle++;
        lastHandle = handle;
        return 0;
    }
    int HangUp(RasHandle handle) override {
        hungUp.push_back(handle);
        pollsUntilGone[handle] = pollsBeforeGone;
        return 0;
    }
    int ConnectStatus(RasHandle handle, std::uint16_t& state, int& error) override {
        ++statusReads;
        clock += std::chrono::milliseconds(statusReadMs);
        auto gone = pollsUntilGone.find(handle);
        if (gone != pollsUntilGone.end() && gone->second-- <= 0) return 6;
        const Status s = status[handle];
        state = s.state;
        error = s.error;
        return s.result;
    }
    int Connections(std::vector<RasConnectionInfo>& list) override {
        list = active;
        return 0;
    }
    std::string ErrorText(int error) override { return error == 678 ? "There was no answer." : ""; }
    // Time passes only when the component waits or a read takes it.
    std::chrono::steady_clock::time_point Now() override { return clock; }
    void After(int ms, std::function<void()> step) override {
        clock += std::chrono::milliseconds(ms);
        step();
    }

    // A dial step of the last dial, as the service reports it.
    void Progress(std::uint16_t state, int error = 0) { notify(lastHandle, state, error); }

    bool available = true;
    std::vector<std::string> entries;
    int dialParamsError = 0;
    int dialError = 0;
    RasHandle nextHandle = 7;
    RasHandle lastHandle = 0;
    std::vector<std::string> dialed;
    std::vector<RasHandle> hungUp;
    int pollsBeforeGone = 0;
    std::map<RasHandle, int> pollsUntilGone;
    std::map<RasHandle, Status> status;
    std::vector<RasConnectionInfo> active;
    int statusReads = 0;
    int statusReadMs = 0;
    std::chrono::steady_clock::time_point clock;
};

}  // namespace tolvenmark::testing
