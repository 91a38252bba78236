#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvenmark {

// What a script asks of the running clock. One request per line: the command
// word, then its fields, each after a tab. The reply is zero or more
// key=value lines and a last line "OK" or "ERROR " + reason.
// SetAlarm stays last: the command line takes every command up to it.
enum class ChannelCommand { Show, Snooze, AlarmOn, AlarmOff, Quit, Status, SetAlarm };

struct ChannelRequest {
    ChannelCommand command = ChannelCommand::Show;
    // SetAlarm only. Without a header the pending alarm keeps its own.
    std::string date;
    std::string time;
    std::optional<std::string> header;

    bool operator==(const ChannelRequest&) const = default;
};

// Longest request line, its end not counted.
constexpr std::size_t kMaxRequestLine = 4096;

struct ParsedRequest {
    std::optional<ChannelRequest> request;
    std::string refusal;  // why there is none
};

// line comes without its "\n". Refused: over kMaxRequestLine, a control
// character other than the field tab, an unknown command, the wrong number of
// fields, an empty date or time.
ParsedRequest ParseChannelLine(std::string_view line);

// The line for request, without its "\n"; ParseChannelLine reads it back.
std::string FormatChannelRequest(const ChannelRequest& request);

// True when text may travel as a field: no control character at all.
bool IsPlainField(std::string_view text);

// What --status prints.
struct ClockStatus {
    std::string header;
    std::string date;
    std::string time;
    bool alarmOn = false;
    bool playerRunning = false;
    std::string snooze;  // HH:MM:SS a snoozed alarm comes back at; empty while none waits
};
std::vector<std::string> FormatStatusLines(const ClockStatus& status);

}  // namespace tolvenmark
