#include "platform/launcher.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace tolvenmark {

namespace {

// Ended but not yet reaped (the zombie keeps its id and group reserved).
bool HasEnded(pid_t pid, siginfo_t& info) {
    info = {};
    if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) return true;
    return info.si_pid == pid;
}

// Any member left in the group, a zombie or one we may not signal included.
bool GroupAlive(pid_t group) { return kill(-group, 0) == 0 || errno == EPERM; }

bool CanRun(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

pid_t Spawn(const std::string& path, const std::vector<std::string>& words) {
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
    argv.push_back(nullptr);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    // Its own session, so a stop reaches the helpers players start.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    pid_t pid = 0;
    // posix_spawn, unlike execvp, never hands a file without a header to sh.
    const int rc = posix_spawn(&pid, path.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return rc == 0 ? pid : 0;
}

}  // namespace

ProcessHandle Launcher::Start(const std::string& program, const std::string& argument,
                              const std::vector<std::string>& options) {
    ReapChildren();
    const std::string path = FindProgram(program);
    if (path.empty()) return {};
    std::vector<std::string> words{program};
    words.insert(words.end(), options.begin(), options.end());
    if (!argument.empty()) words.push_back(argument);
    const pid_t pid = Spawn(path, words);
    if (pid <= 0) return {};
    children_.insert(pid);

    // A player that cannot open what it was given ends at once with an error.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(startGraceMs);
    siginfo_t info{};
    while (std::chrono::steady_clock::now() < until) {
        if (HasEnded(pid, info)) {
            const bool failed = info.si_code != CLD_EXITED || info.si_status != 0;
            // Reported as not started, so nothing of it may play on unstoppable.
            if (failed) kill(-pid, SIGKILL);
            ReapChildren();
            if (failed) groups_.erase(pid);
            return failed ? ProcessHandle{} : ProcessHandle{pid};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return {pid};
}

bool Launcher::Owns(pid_t group) const { return children_.contains(group) || groups_.contains(group); }

void Launcher::Stop(ProcessHandle handle) {
    ReapChildren();
    const pid_t group = handle.pid;
    if (!handle || !Owns(group)) return;
    kill(-group, SIGTERM);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(stopGraceMs);
    while (Owns(group) && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ReapChildren();
    }
    // Helpers that ignore SIGTERM, or a leader that does.
    if (Owns(group)) kill(-group, SIGKILL);
    if (children_.erase(group) > 0)
        while (waitpid(group, nullptr, 0) < 0 && errno == EINTR) {
        }
    groups_.erase(group);
}

bool Launcher::RunCommandLine(const std::string& commandLine) {
    ReapChildren();
    const std::vector<std::string> words = SplitCommandLine(commandLine);
    if (words.empty()) return false;
    const std::string path = FindProgram(words.front());
    if (path.empty()) return false;
    const pid_t pid = Spawn(path, words);
    if (pid <= 0) return false;
    children_.insert(pid);
    return true;
}

void Launcher::ReapChildren() {
    for (auto it = children_.begin(); it != children_.end();) {
        const pid_t r = waitpid(*it, nullptr, WNOHANG);
        // Reaped while others of its group play on: the group is still ours.
        if (r == *it && GroupAlive(*it)) groups_.insert(*it);
        // -1: not ours any more (reaped elsewhere); forget it either way.
        if (r == *it || r < 0)
            it = children_.erase(it);
        else
            ++it;
    }
    // Seen empty once, a group id may be handed out again.
    std::erase_if(groups_, [](pid_t group) { return !GroupAlive(group); });
}

bool Launcher::IsRunning(ProcessHandle handle) {
    ReapChildren();
    return handle && Owns(handle.pid);
}

std::string ExistingPath(const std::string& path) {
    if (path.empty()) return "";
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? path : "";
}

std::string FindProgram(const std::string& name) {
    if (name.empty()) return "";
    if (name.find('/') != std::string::npos) return CanRun(name) ? name : "";
    const char* env = std::getenv("PATH");
    const std::string pathVar = env ? env : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= pathVar.size()) {
        std::size_t end = pathVar.find(':', start);
        if (end == std::string::npos) end = pathVar.size();
        const std::string dir = end > start ? pathVar.substr(start, end - start) : ".";
        const std::string candidate = dir + "/" + name;
        if (CanRun(candidate)) return candidate;
        start = end + 1;
    }
    return "";
}

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else if (c == '\'') {
            inWord = true;
            const std::size_t close = line.find('\'', i + 1);
            const std::size_t end = close == std::string::npos ? line.size() : close;
            word.append(line, i + 1, end - i - 1);
            i = end;
        } else if (c == '"') {
            inWord = true;
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size() &&
                    (line[i + 1] == '"' || line[i + 1] == '\\' || line[i + 1] == '$' || line[i + 1] == '`'))
                    ++i;
                word += line[i];
            }
        } else if (c == '\\') {
            inWord = true;
            if (i + 1 < line.size()) word += line[++i];
        } else {
            inWord = true;
            word += c;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

}  // namespace tolvenmark
