#include "app/control_options.h"

#include <array>
#include <utility>

namespace tolvenmark {

const char* const kControlUsage =
    "Usage: tolvenmark-clock [--show | --snooze | --alarm-on | --alarm-off | --quit | --status |"
    " --set-alarm DATE TIME [HEADER]]\n";

namespace {

constexpr std::array<std::pair<std::string_view, ChannelCommand>, 7> kOptions{{
    {"--show", ChannelCommand::Show},
    {"--snooze", ChannelCommand::Snooze},
    {"--alarm-on", ChannelCommand::AlarmOn},
    {"--alarm-off", ChannelCommand::AlarmOff},
    {"--quit", ChannelCommand::Quit},
    {"--status", ChannelCommand::Status},
    {"--set-alarm", ChannelCommand::SetAlarm},
}};

ControlOptions Usage() { return {ControlOptions::Kind::Usage, {}}; }

}  // namespace

ControlOptions ParseControlOptions(const std::vector<std::string>& args) {
    std::size_t at = args.size();
    ChannelCommand command{};
    for (std::size_t i = 0; i < args.size() && at == args.size(); ++i)
        for (const auto& [option, value] : kOptions)
            if (args[i] == option) {
                at = i;
                command = value;
            }
    if (at == args.size()) return {};
    if (at != 0) return Usage();

    ControlOptions result{ControlOptions::Kind::Request, {}};
    result.request.command = command;
    const std::size_t operands = args.size() - 1;
    if (command != ChannelCommand::SetAlarm) return operands == 0 ? result : Usage();

    if (operands != 2 && operands != 3) return Usage();
    for (std::size_t i = 1; i < args.size(); ++i)
        if (!IsPlainField(args[i])) return Usage();
    if (args[1].empty() || args[2].empty()) return Usage();
    result.request.date = args[1];
    result.request.time = args[2];
    if (operands == 3) result.request.header = args[3];
    // A request the clock would refuse for its length is a bad argument here.
    if (FormatChannelRequest(result.request).size() > kMaxRequestLine) return Usage();
    return result;
}

}  // namespace tolvenmark
