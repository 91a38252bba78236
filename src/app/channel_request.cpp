#include "app/channel_request.h"

#include <array>
#include <utility>

namespace tolvenmark {

namespace {

constexpr std::array<std::pair<std::string_view, ChannelCommand>, 7> kCommands{{
    {"SHOW", ChannelCommand::Show},
    {"SNOOZE", ChannelCommand::Snooze},
    {"ALARM-ON", ChannelCommand::AlarmOn},
    {"ALARM-OFF", ChannelCommand::AlarmOff},
    {"QUIT", ChannelCommand::Quit},
    {"STATUS", ChannelCommand::Status},
    {"SET-ALARM", ChannelCommand::SetAlarm},
}};

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

ParsedRequest Refuse(std::string reason) { return {std::nullopt, std::move(reason)}; }

// A status value ends at its line; the header is the only free text in it.
std::string OneLine(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (IsControl(static_cast<unsigned char>(c))) c = ' ';
    return out;
}

}  // namespace

bool IsPlainField(std::string_view text) {
    for (const char c : text)
        if (IsControl(static_cast<unsigned char>(c))) return false;
    return true;
}

ParsedRequest ParseChannelLine(std::string_view line) {
    if (line.size() > kMaxRequestLine) return Refuse("line too long");
    for (const char c : line)
        if (c != '\t' && IsControl(static_cast<unsigned char>(c))) return Refuse("control character in line");
    const std::vector<std::string_view> fields = SplitFields(line);

    const ChannelCommand* command = nullptr;
    for (const auto& [word, value] : kCommands)
        if (fields[0] == word) command = &value;
    if (!command) return Refuse("unknown request");

    ChannelRequest request;
    request.command = *command;
    if (*command != ChannelCommand::SetAlarm) {
        if (fields.size() != 1) return Refuse("unexpected fields");
        return {request, {}};
    }
    if (fields.size() != 3 && fields.size() != 4) return Refuse("SET-ALARM takes DATE, TIME and an optional HEADER");
    if (fields[1].empty() || fields[2].empty()) return Refuse("empty date or time");
    request.date = fields[1];
    request.time = fields[2];
    if (fields.size() == 4) request.header = std::string(fields[3]);
    return {request, {}};
}

std::string FormatChannelRequest(const ChannelRequest& request) {
    std::string line;
    for (const auto& [word, value] : kCommands)
        if (value == request.command) line = word;
    if (request.command == ChannelCommand::SetAlarm) {
        line += "\t" + request.date + "\t" + request.time;
        if (request.header) line += "\t" + *request.header;
    }
    return line;
}

std::vector<std::string> FormatStatusLines(const ClockStatus& status) {
    std::vector<std::string> lines{
        "header=" + OneLine(status.header),
        "date=" + OneLine(status.date),
        "time=" + OneLine(status.time),
        std::string("alarm=") + (status.alarmOn ? "on" : "off"),
        std::string("player=") + (status.playerRunning ? "running" : "stopped"),
    };
    if (!status.snooze.empty()) lines.push_back("snooze=" + status.snooze);
    return lines;
}

}  // namespace tolvenmark
