#include "platform/autostart.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "platform/conversion_error.h"
#include "platform/folders.h"

namespace tolvenmark {

namespace {

constexpr const char* kEntryName = "tolvenmark-clock.desktop";

std::string ConfigHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.config";
}

[[noreturn]] void FailToSet() {
    throw OperationError(std::string("Failed to set data for '") + kAutostartValueName + "'");
}

}  // namespace

std::string AutostartEntryPath() { return ConfigHome() + "/autostart/" + kEntryName; }

bool AutostartEntryExists() { return FileExists(AutostartEntryPath()); }

std::optional<std::string> ExecArgument(const std::string& programPath) {
    if (programPath.empty()) return std::nullopt;
    bool reserved = false;
    std::string quoted;
    for (unsigned char c : programPath) {
        if (c < 0x20 || c == 0x7F) return std::nullopt;
        switch (c) {
            case '"': case '`': case '$': case '\\':
                quoted += '\\';
                reserved = true;
                break;
            case ' ': case '\'': case '>': case '<': case '~': case '|': case '&': case ';':
            case '*': case '?': case '#': case '(': case ')':
                reserved = true;
                break;
            default:
                break;
        }
        quoted += static_cast<char>(c);
        if (c == '%') quoted += '%';
    }
    if (reserved) quoted = "\"" + quoted + "\"";
    // The Exec value is a string value first: its backslashes are escaped again.
    std::string value;
    for (char c : quoted) {
        if (c == '\\') value += '\\';
        value += c;
    }
    return value;
}

std::optional<std::string> AutostartEntryText(const std::string& programPath) {
    auto exec = ExecArgument(programPath);
    if (!exec) return std::nullopt;
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" + std::string(kAutostartValueName) + "\n"
           "Comment=Skinnable desktop alarm clock\n"
           "Exec=" + *exec + "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

void WriteAutostartEntry(const std::string& programPath) {
    auto text = AutostartEntryText(programPath);
    if (!text) FailToSet();
    const std::string path = AutostartEntryPath();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (!ReplaceFileAtomically(path, *text)) FailToSet();
}

bool DeleteAutostartEntry() {
    const std::string path = AutostartEntryPath();
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace tolvenmark
