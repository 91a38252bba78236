// Bytes from the clock's local socket, in chunks as they may arrive, through
// the client's buffer and the request parser.
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <string>

#include "app/channel_buffer.h"
#include "app/channel_request.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // The first byte sets the largest chunk, so lines split anywhere.
    const std::size_t chunk = size ? 1 + static_cast<unsigned char>(input[0]) * 37 : 1;
    tolvenmark::ChannelBuffer buffer;
    std::string taken;
    std::size_t at = size ? 1 : 0;
    while (at < size) {
        if (const auto line = buffer.TakeLine()) {
            if (line->size() > tolvenmark::kMaxRequestLine || line->find('\n') != std::string::npos) __builtin_trap();
            taken += *line + "\n";
            const tolvenmark::ParsedRequest parsed = tolvenmark::ParseChannelLine(*line);
            // What was taken must be what a client would have sent.
            if (parsed.request && tolvenmark::FormatChannelRequest(*parsed.request) != *line) __builtin_trap();
            // A reply is as many lines as it says, whatever an error text holds.
            const std::string reply = tolvenmark::FormatReply({"ERROR " + *line, "OK"});
            if (std::count(reply.begin(), reply.end(), '\n') != 2) __builtin_trap();
            continue;
        }
        const std::size_t room = buffer.Room();
        if (room == 0 || room > tolvenmark::kMaxRequestLine + 1) __builtin_trap();
        const std::size_t n = std::min({room, chunk, size - at});
        if (!buffer.Receive(std::string_view(input).substr(at, n))) {
            // Only a line over the limit is refused.
            const std::size_t end = input.find('\n', taken.size() + 1);
            if ((end == std::string::npos ? size : end) - (taken.size() + 1) <= tolvenmark::kMaxRequestLine)
                __builtin_trap();
            return 0;
        }
        at += n;
    }
    // Every line taken is the input as it came, in order.
    if (input.compare(size ? 1 : 0, taken.size(), taken) != 0) __builtin_trap();
    return 0;
}
