#include "app/control_options.h"

#include <utility>

#include <QCommandLineParser>
#include <QStringList>

namespace tolvenmark {

const char* const kControlUsage =
    "Usage: tolvenmark-clock [--show-skin [FILE] | --help | --version | --show | --snooze | --alarm-on |"
    " --alarm-off | --quit | --status | --set-alarm DATE TIME [HEADER]]\n";

namespace {

// Each request of the channel has its option: its word in lower case.
std::vector<std::pair<QString, ChannelCommand>> RequestOptions() {
    std::vector<std::pair<QString, ChannelCommand>> options;
    for (int c = 0; c <= static_cast<int>(ChannelCommand::SetAlarm); ++c) {
        ChannelRequest request;
        request.command = static_cast<ChannelCommand>(c);
        const QString line = QString::fromStdString(FormatChannelRequest(request));
        options.emplace_back(line.section('\t', 0, 0).toLower(), request.command);
    }
    return options;
}

using Kind = ControlOptions::Kind;

ControlOptions Usage() { return {Kind::Usage, {}, {}}; }

// Latin-1 maps every byte to one character and back, so a header or file
// name keeps its bytes whatever their encoding.
QString FromBytes(const std::string& bytes) { return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())); }
std::string ToBytes(const QString& text) { return text.toLatin1().toStdString(); }

ControlOptions SetAlarm(const QStringList& operands) {
    if (operands.size() != 2 && operands.size() != 3) return Usage();
    ControlOptions result{Kind::Request, {}, {}};
    result.request.command = ChannelCommand::SetAlarm;
    result.request.date = ToBytes(operands[0]);
    result.request.time = ToBytes(operands[1]);
    if (operands.size() == 3) result.request.header = ToBytes(operands[2]);
    const ChannelRequest& r = result.request;
    if (r.date.empty() || r.time.empty() || !IsPlainField(r.date) || !IsPlainField(r.time) ||
        !IsPlainField(r.header.value_or("")))
        return Usage();
    // A request the clock would refuse for its length is a bad argument here.
    if (FormatChannelRequest(r).size() > kMaxRequestLine) return Usage();
    return result;
}

}  // namespace

ControlOptions ParseControlOptions(const std::vector<std::string>& args) {
    QCommandLineParser parser;
    for (const char* name : {"help", "version", "show-skin"}) parser.addOption(QCommandLineOption(name));
    const auto requests = RequestOptions();
    for (const auto& [name, command] : requests) parser.addOption(QCommandLineOption(name));
    QStringList arguments{QStringLiteral("tolvenmark-clock")};
    for (const std::string& arg : args) arguments << FromBytes(arg);
    if (!parser.parse(arguments)) return Usage();
    if (parser.isSet("help")) return {Kind::Help, {}, {}};
    if (parser.isSet("version")) return {Kind::Version, {}, {}};
    // Every option is an action of its own: more than one, or one twice, is a mistake.
    const QStringList options = parser.optionNames();
    const QStringList operands = parser.positionalArguments();
    if (options.size() > 1) return Usage();
    if (options.isEmpty()) return operands.isEmpty() ? ControlOptions{} : Usage();

    const QString option = options.front();
    if (option == "show-skin")
        return operands.size() <= 1 ? ControlOptions{Kind::ShowSkin, {}, operands.isEmpty() ? "" : ToBytes(operands[0])}
                                    : Usage();
    if (option == "set-alarm") return SetAlarm(operands);
    if (!operands.isEmpty()) return Usage();
    ControlOptions result{Kind::Request, {}, {}};
    for (const auto& [name, command] : requests)
        if (option == name) result.request.command = command;
    return result;
}

}  // namespace tolvenmark
