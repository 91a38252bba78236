#include "app/channel_buffer.h"

#include "app/channel_request.h"

namespace tolvenmark {

std::size_t ChannelBuffer::Room() const {
    if (pending_.find('\n') != std::string::npos) return 0;
    return kMaxRequestLine + 1 - pending_.size();
}

bool ChannelBuffer::Receive(std::string_view bytes) {
    pending_.append(bytes);
    const std::size_t end = pending_.find('\n');
    if ((end == std::string::npos ? pending_.size() : end) <= kMaxRequestLine) return true;
    pending_.clear();
    return false;
}

std::optional<std::string> ChannelBuffer::TakeLine() {
    const std::size_t end = pending_.find('\n');
    if (end == std::string::npos) return std::nullopt;
    std::string line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    // Clients written for other systems end their lines in CR LF.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string FormatReply(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        bool gap = false;
        for (const char c : line) {
            const bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
            // "\r\n" inside a message reads as one space.
            if (control && gap) continue;
            text += control ? ' ' : c;
            gap = control;
        }
        text += '\n';
    }
    return text;
}

}  // namespace tolvenmark
