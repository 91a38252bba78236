#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvenmark {

// What the clock holds of one client's requests: never more than one request
// line, so a client that floods the channel costs a few kilobytes.
class ChannelBuffer {
public:
    // How many bytes Receive takes now; none while a whole line waits.
    std::size_t Room() const;
    // bytes: at most Room(). False, keeping nothing, when a line outgrew
    // kMaxRequestLine before its end: the client is not ours.
    bool Receive(std::string_view bytes);
    // The next whole line without its "\n" (or "\r\n").
    std::optional<std::string> TakeLine();

private:
    std::string pending_;
};

// The reply as it travels: one "\n" after each line, and no line break or
// other control character inside one (an error text may hold "\r\n").
std::string FormatReply(const std::vector<std::string>& lines);

}  // namespace tolvenmark
