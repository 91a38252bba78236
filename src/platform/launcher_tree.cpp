#include "platform/launcher_tree.h"

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace tolvenmark {

namespace {

// At most limit bytes of a /proc file; "" when it cannot be read.
std::string ReadSmallFile(const std::string& path, std::size_t limit) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return "";
    std::string text;
    char buffer[4096];
    while (text.size() < limit) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    if (text.size() > limit) text.resize(limit);
    return text;
}

bool ParseNumber(const std::string& word, unsigned long long& value) {
    if (word.empty() || word.size() > 20) return false;
    char* end = nullptr;
    value = std::strtoull(word.c_str(), &end, 10);
    return *end == '\0' && word.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

std::optional<ProcessEntry> ParseProcStat(const std::string& line) {
    // "PID (NAME) STATE PPID ..." where NAME may hold blanks and ')'.
    const std::size_t open = line.find(" (");
    const std::size_t close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) return std::nullopt;
    ProcessEntry entry;
    unsigned long long value = 0;
    if (!ParseNumber(line.substr(0, open), value) || value == 0 || value > 0x3fffffff) return std::nullopt;
    entry.pid = static_cast<pid_t>(value);
    std::vector<std::string> fields;
    std::size_t at = close + 1;
    while (fields.size() < 20) {
        at = line.find_first_not_of(' ', at);
        if (at == std::string::npos) break;
        const std::size_t end = std::min(line.find_first_of(" \n", at), line.size());
        fields.push_back(line.substr(at, end - at));
        at = end;
    }
    // Fields from the state on; the start time is the twentieth.
    if (fields.size() < 20 || fields[0].size() != 1) return std::nullopt;
    entry.zombie = fields[0] == "Z" || fields[0] == "X";
    if (!ParseNumber(fields[1], value) || value > 0x3fffffff) return std::nullopt;
    entry.ppid = static_cast<pid_t>(value);
    if (!ParseNumber(fields[19], entry.startTicks)) return std::nullopt;
    return entry;
}

std::optional<ProcessEntry> ReadProcess(pid_t pid) {
    return ParseProcStat(ReadSmallFile("/proc/" + std::to_string(pid) + "/stat", 4096));
}

std::vector<ProcessEntry> ProcessesSince(unsigned long long startTicks) {
    std::vector<ProcessEntry> found;
    DIR* dir = opendir("/proc");
    if (!dir) return found;
    while (const dirent* e = readdir(dir)) {
        if (e->d_name[0] < '1' || e->d_name[0] > '9') continue;
        const auto entry = ReadProcess(static_cast<pid_t>(std::atoi(e->d_name)));
        if (entry && entry->startTicks >= startTicks) found.push_back(*entry);
    }
    closedir(dir);
    return found;
}

bool EnvironmentHolds(pid_t pid, const std::string& entry) {
    // A player's environment is small; a huge one is not worth reading whole.
    const std::string environ = ReadSmallFile("/proc/" + std::to_string(pid) + "/environ", 1 << 20);
    const std::string wanted = entry + '\0';
    return environ.starts_with(wanted) || environ.find('\0' + wanted) != std::string::npos;
}

}  // namespace tolvenmark
