#pragma once

#include <memory>
#include <utility>

#include "setup/ras_backend.h"

namespace tolvenmark {

// A dial-up service that comes later: unavailable until the real one is
// attached (once the system bus is connected), then that one in every call.
class LateRasBackend final : public RasBackend {
public:
    LateRasBackend() : inner_(std::make_unique<UnavailableRasBackend>()) {}

    void Attach(std::unique_ptr<RasBackend> inner) {
        if (!inner) return;
        inner_ = std::move(inner);
        inner_->notify = [this](RasHandle handle, std::uint16_t state, int error) {
            if (notify) notify(handle, state, error);
        };
        inner_->availabilityChanged = [this] {
            if (availabilityChanged) availabilityChanged();
        };
    }

    bool Available() override { return inner_->Available(); }
    int Entries(std::vector<std::string>& names) override { return inner_->Entries(names); }
    int DialParams(const std::string& entry) override { return inner_->DialParams(entry); }
    int Dial(const std::string& entry, const std::string& phone, RasHandle& handle) override {
        return inner_->Dial(entry, phone, handle);
    }
    int HangUp(RasHandle handle) override { return inner_->HangUp(handle); }
    int ConnectStatus(RasHandle handle, std::uint16_t& state, int& error) override {
        return inner_->ConnectStatus(handle, state, error);
    }
    int Connections(std::vector<RasConnectionInfo>& list) override { return inner_->Connections(list); }
    std::string ErrorText(int error) override { return inner_->ErrorText(error); }
    std::chrono::steady_clock::time_point Now() override { return inner_->Now(); }
    void After(int ms, std::function<void()> step) override { inner_->After(ms, std::move(step)); }

private:
    std::unique_ptr<RasBackend> inner_;
};

}  // namespace tolvenmark
