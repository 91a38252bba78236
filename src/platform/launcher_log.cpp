#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/launcher.h"

// The players' output: one log the user can read, never the terminal that
// started the clock.
namespace tolvenmark {

namespace {

constexpr off_t kLogLimit = 1 << 20;

std::string LastLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    // A progress line rewritten with CR shows its last state.
    const std::size_t start = text.find_last_of("\r\n");
    if (start != std::string::npos) text.erase(0, start + 1);
    if (text.size() > 300) text.resize(300);
    return text;
}

}  // namespace

int Launcher::OpenLog(long& offset) const {
    offset = 0;
    if (outputLog.empty()) return open("/dev/null", O_WRONLY | O_CLOEXEC);
    std::error_code ignored;
    const std::filesystem::path folder = std::filesystem::path(outputLog).parent_path();
    if (std::filesystem::create_directories(folder, ignored)) chmod(folder.c_str(), 0700);
    const int fd = open(outputLog.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return open("/dev/null", O_WRONLY | O_CLOEXEC);
    struct stat st {};
    // A log that only grows would fill the disk over months of alarms.
    if (fstat(fd, &st) == 0 && st.st_size > kLogLimit) ftruncate(fd, 0);
    offset = lseek(fd, 0, SEEK_END);
    return fd;
}

std::string Launcher::ReadOutput(long offset) const {
    if (outputLog.empty()) return "";
    const int fd = open(outputLog.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return "";
    const off_t end = lseek(fd, 0, SEEK_END);
    const off_t from = std::max<off_t>(offset, end - 4096);
    std::string text(static_cast<std::size_t>(std::max<off_t>(end - from, 0)), '\0');
    const ssize_t n = from < end ? pread(fd, text.data(), text.size(), from) : 0;
    close(fd);
    text.resize(static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    return LastLine(text);
}

std::string PlayerLogPath() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/tolvenmark/player.log";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/state/tolvenmark/player.log";
    return "";
}

}  // namespace tolvenmark
