// A request line from the clock's local socket.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/channel_request.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    const tolvenmark::ParsedRequest parsed = tolvenmark::ParseChannelLine(line);
    if (!parsed.request) return 0;
    // What was taken must be what a client would have sent.
    if (tolvenmark::FormatChannelRequest(*parsed.request) != line) __builtin_trap();
    return 0;
}
