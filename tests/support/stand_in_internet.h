#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "setup/internet_setup_actions.h"

namespace tolvenmark::testing {

// The internet connection dialog as the launch and the alarm test use it:
// a connection state to set, and the actions asked of it, in order.
struct StandInInternet final : InternetSetupActions {
    std::uint16_t ConnectState() const override { return state; }
    void ShowSetup() override { calls.push_back("show"); }
    void TestConnection() override { calls.push_back("dial"); }
    void HideSetup() override { calls.push_back("hide"); }
    void Disconnect() override { calls.push_back("disconnect"); }
    std::uint16_t state = 0;
    std::vector<std::string> calls;
};

}  // namespace tolvenmark::testing
