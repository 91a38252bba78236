#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <QDBusConnection>

#include "setup/ras_backend.h"

namespace tolvenmark {

// The dial-up service over NetworkManager on the system bus (busAddress
// names another bus, for tests); empty when there is no such bus. It reads
// a model kept from NetworkManager's signals, so no call waits for an
// answer; it is unavailable until NetworkManager has answered once.
// Its phone book is the saved profiles that dial: mobile broadband (gsm,
// cdma), PPPoE, ADSL and VPN; other active connections are left alone, so a
// hang-up never takes down the machine's own network.
std::unique_ptr<RasBackend> MakeNetworkManagerBackend(const std::string& busAddress = "");
// The same on a bus already connected; empty when it is not.
std::unique_ptr<RasBackend> MakeNetworkManagerBackend(QDBusConnection bus);

bool IsDialingConnectionType(const std::string& type);

// An active connection's NetworkManager state and reason as a dial state and
// error: activating 2, activated 8192, deactivated 8193, or a failure reason
// as a remote access error number (with state 8193).
struct NmDialState {
    std::uint16_t state = 0;
    int error = 0;
};
NmDialState MapNmState(std::uint32_t nmState, std::uint32_t reason);

}  // namespace tolvenmark
