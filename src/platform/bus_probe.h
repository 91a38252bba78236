#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tolvenmark {

// Where a bus daemon listens, from a D-Bus address: the first entry of the
// local socket transport ("unix:path=..." or "unix:abstract=..."); none for
// an address of another transport, which cannot be probed.
struct BusSocket {
    std::string name;
    bool abstract = false;
};
std::optional<BusSocket> LocalBusSocket(const std::string& address);

// Whether each daemon answers the opening of a handshake within timeoutMs,
// all asked at once. A stopped daemon still takes the connection, and the
// bus library would then wait for it without a limit.
std::vector<bool> BusesAnswer(const std::vector<BusSocket>& sockets, int timeoutMs);

enum class BusKind { Session, System };

// The address the session names for a bus: its variable, else the usual
// socket (the session's only when it exists); empty for none.
std::string BusAddressOf(BusKind kind);

// Before the toolkit starts: a bus that does not answer within timeoutMs, and
// a session bus the session does not name, is replaced in this process's
// environment by one that fails at once, so that no library waits for a hung
// daemon on the user-interface thread or launches a session bus that would
// outlive the clock. The addresses as they were are kept for BusAddress.
void SettleBusEnvironment(int timeoutMs);
std::string BusAddress(BusKind kind);

// An address no connection succeeds to.
inline constexpr const char* kNoBusAddress = "unix:path=/dev/null/no-bus";

}  // namespace tolvenmark
