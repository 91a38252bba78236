#include "setup/launch_rules.h"

#include <algorithm>
#include <array>

#include "platform/date_time_text.h"
#include "platform/drives.h"
#include "platform/launcher.h"
#include "platform/names.h"

namespace tolvenmark {

namespace {

constexpr std::array<const char*, 5> kPlayerCodes = {"WMP", "WINAMP", "REALONE", "QUICKTIME", "CUSTOM"};

struct Fallback {
    const char* name;
    std::vector<std::string> options;
    bool wavOnly;
};

const std::vector<Fallback>& Fallbacks() {
    static const std::vector<Fallback> list = {
        {"mpv", {}, false},
        {"vlc", {}, false},
        {"ffplay", {"-nodisp", "-autoexit"}, false},
        {"paplay", {}, true},
    };
    return list;
}

bool IsWav(const std::string& path) {
    return path.size() >= 4 && EqualIgnoringAsciiCase(std::string_view(path).substr(path.size() - 4), ".wav");
}

int Clamp(const std::string& text, long fallback, long most) {
    const long n = StrToIntDef(text, static_cast<std::int32_t>(fallback));
    return static_cast<int>(n <= 0 ? fallback : std::min(n, most));
}

}  // namespace

LaunchSettings ReadLaunchSettings(const ConfigKeys& config) {
    return {config.read("PLAYER"), config.read("MTYPE"), config.read("ALFILE"), config.read("ICONNECT"),
            config.read("WAIT")};
}

bool IsMessageType(const std::string& mediaType) {
    return mediaType == "Text Message" || mediaType == "Network Message";
}

bool NeedsDial(const LaunchSettings& s, bool connected) {
    return s.mediaType == kRadioType && !connected && s.iConnect != kLanConnection;
}

LaunchDelay PlanLaunchDelay(const LaunchSettings& s, bool connected) {
    if (NeedsDial(s, connected)) return {true, (s.wait.empty() ? 60 : WaitSeconds(s.wait)) * 1000};
    return {false, 1000};
}

Gate LaunchGate(const LaunchSettings& s, bool connected) {
    return NeedsDial(s, connected) ? Gate::NoConnection : Gate::Go;
}

int WaitSeconds(const std::string& wait) {
    // A count of 0 or less still means "wait", so it becomes the shortest
    // wait; the longest is the most milliseconds a timer takes.
    const long n = StrToIntDef(wait, 60);
    return static_cast<int>(std::clamp(n, 1L, kLongestWaitSeconds));
}

int SnoozeMinutes(const std::string& snoozeMin) { return Clamp(snoozeMin, 5, 1440); }

LaunchLookups SystemLookups(const ConfigKeys& config) {
    // A stored "E:\..." path of a disc lives under the drive's mount point here.
    auto existing = [](const std::string& path) { return ExistingPath(ResolveDrivePath(path)); };
    return {config, existing, FindProgram};
}

std::string FallbackPlayerName(const LaunchLookups& lookups) {
    for (const Fallback& f : Fallbacks())
        if (!lookups.findProgram(f.name).empty()) return f.name;
    return "";
}

PlayerCommand ResolvePlayer(const std::string& playerCode, const std::string& argument, const LaunchLookups& lookups) {
    // No player ticked means the first player found, as an empty slot does.
    if (!playerCode.empty()) {
        const auto code = std::find_if(kPlayerCodes.begin(), kPlayerCodes.end(),
                                       [&](const char* c) { return playerCode == c; });
        if (code == kPlayerCodes.end()) return {};
        const std::string path = lookups.config.read(*code);
        if (!path.empty()) return {true, lookups.existingPath(path), {}};
    }
    for (const Fallback& f : Fallbacks()) {
        if (f.wavOnly && !IsWav(argument)) continue;
        const std::string found = lookups.findProgram(f.name);
        if (!found.empty()) return {true, found, f.options, true};
    }
    return {true, "", {}};
}

void GuardArgument(PlayerCommand& player, std::string& argument) {
    if (argument.empty()) return;
    if (player.fallback)
        player.options.push_back("--");
    else if (argument.front() == '-')
        argument.insert(0, "./");
}

std::string PlayerArgument(const LaunchSettings& s, const LaunchLookups& lookups) {
    if (s.alFile.empty()) return "";
    if (s.mediaType == "CD Audio" || s.mediaType == "DVD" || s.mediaType == kRadioType) return s.alFile;
    return lookups.existingPath(s.alFile);
}

}  // namespace tolvenmark
