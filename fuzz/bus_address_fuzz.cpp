// A bus address from the environment, read for the socket to probe.
#include <string>

#include "platform/bus_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string address(reinterpret_cast<const char*>(data), size);
    const auto socket = tolvenmark::LocalBusSocket(address);
    // An escaped name is never longer than what spelled it, and only a local entry gives one.
    if (socket && (socket->name.size() > address.size() || address.find("unix:") == std::string::npos))
        __builtin_trap();
    return 0;
}
