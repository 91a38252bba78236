#include "platform/launcher.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/epoll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/timerfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/launcher_tree.h"

extern char** environ;

namespace tolvenmark {

namespace {

constexpr const char* kMarkName = "TOLVENMARK_LAUNCH=";

using SteadyClock = std::chrono::steady_clock;
constexpr auto kSecondLook = std::chrono::milliseconds(200);

int PidfdOpen(pid_t pid) { return static_cast<int>(syscall(SYS_pidfd_open, pid, 0)); }

// Ended, a zombie included; without pidfds (kernels before 5.3) /proc says.
bool MemberEnded(pid_t pid, int pidfd) {
    if (pidfd < 0) {
        const auto entry = ReadProcess(pid);
        return !entry || entry->zombie;
    }
    pollfd p{pidfd, POLLIN, 0};
    return poll(&p, 1, 0) > 0;
}

pid_t Spawn(const std::string& path, const std::vector<std::string>& words, const std::string& mark, int output) {
    std::vector<char*> argv;
    for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
    argv.push_back(nullptr);
    // Our own mark, never one the clock itself was started with.
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, kMarkName, std::strlen(kMarkName)) != 0) envp.push_back(*e);
    if (!mark.empty()) envp.push_back(const_cast<char*>(mark.c_str()));
    envp.push_back(nullptr);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    // Its own session: no terminal's signals, and a group a stop can reach at once.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output >= 0) {
        posix_spawn_file_actions_adddup2(&actions, output, 1);
        posix_spawn_file_actions_adddup2(&actions, output, 2);
    }
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    pid_t pid = 0;
    // posix_spawn, unlike execvp, never hands a file without a header to sh.
    const int rc = posix_spawn(&pid, path.c_str(), &actions, &attr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return rc == 0 ? pid : 0;
}

}  // namespace

Launcher::Launcher() {
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    timer_ = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
    epoll_event ev{};
    ev.events = EPOLLIN;
    if (epoll_ >= 0 && timer_ >= 0) epoll_ctl(epoll_, EPOLL_CTL_ADD, timer_, &ev);
}

Launcher::~Launcher() {
    OnEnded = nullptr;
    StopAll();
    WaitIdle(stopGraceMs + 1000);
    for (auto& [leader, launch] : launches_)
        for (auto& [pid, member] : launch.members)
            if (member.pidfd >= 0) close(member.pidfd);
    if (timer_ >= 0) close(timer_);
    if (epoll_ >= 0) close(epoll_);
}

ProcessHandle Launcher::Start(const std::string& program, const std::string& argument,
                              const std::vector<std::string>& options) {
    const std::string path = FindProgram(program);
    if (path.empty()) return {};
    std::vector<std::string> words{program};
    words.insert(words.end(), options.begin(), options.end());
    if (!argument.empty()) words.push_back(argument);

    Launch launch;
    launch.mark = kMarkName + std::to_string(getpid()) + "." + std::to_string(++serial_) + "." +
                  std::to_string(SteadyClock::now().time_since_epoch().count());
    const int output = OpenLog(launch.logOffset);
    if (output >= 0 && !outputLog.empty()) {
        const std::time_t now = std::time(nullptr);
        char when[32] = "";
        std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
        std::string header = std::string("--- ") + when + " " + path;
        for (std::size_t i = 1; i < words.size(); ++i) header += " " + words[i];
        header += "\n";
        if (write(output, header.data(), header.size()) > 0) launch.logOffset += static_cast<long>(header.size());
    }
    const pid_t pid = Spawn(path, words, launch.mark, output);
    if (output >= 0) close(output);
    if (pid <= 0) return {};
    launch.started = SteadyClock::now();
    const auto entry = ReadProcess(pid);
    launch.startTicks = entry ? entry->startTicks : 0;
    ended_.erase(pid);
    lastOutput_.erase(pid);
    launch.leader = pid;
    Launch& added = launches_[pid] = std::move(launch);
    Adopt(added, pid, true);
    return {pid};
}

bool Launcher::Adopt(Launch& launch, pid_t pid, bool child) {
    const int pidfd = PidfdOpen(pid);
    // Gone before we looked, and not ours to reap.
    if (pidfd < 0 && errno != ENOSYS && !child) return false;
    if (pidfd >= 0) {
        epoll_event ev{};
        ev.events = EPOLLIN;
        epoll_ctl(epoll_, EPOLL_CTL_ADD, pidfd, &ev);
    }
    launch.members[pid] = {pidfd, child};
    // Born while the launch was being stopped: it goes the same way.
    const int sig = launch.killed ? SIGKILL : launch.stopping ? SIGTERM : 0;
    if (sig == 0) return true;
    if (pidfd >= 0)
        syscall(SYS_pidfd_send_signal, pidfd, sig, nullptr, 0);
    else
        kill(pid, sig);
    return true;
}

void Launcher::Drop(Launch& launch, pid_t pid) {
    const auto it = launch.members.find(pid);
    if (it == launch.members.end()) return;
    if (it->second.pidfd >= 0) close(it->second.pidfd);
    launch.members.erase(it);
}

bool Launcher::Follow(Launch& launch, const std::vector<ProcessEntry>& processes) {
    bool found = false;
    // Until nothing new: a child may be listed before its parent.
    for (bool grew = true; grew;) {
        grew = false;
        for (const ProcessEntry& e : processes) {
            if (e.zombie || e.startTicks < launch.startTicks || launch.members.contains(e.pid)) continue;
            // Kernel threads have no environment and are never a launch's.
            if (launch.members.contains(e.ppid) || (e.ppid != 2 && EnvironmentHolds(e.pid, launch.mark)))
                if (Adopt(launch, e.pid, e.ppid == getpid())) grew = found = true;
        }
    }
    return found;
}

void Launcher::Signal(Launch& launch, int sig) {
    // The group at once, with what was forked since we looked; while its
    // leader is not reaped the group id cannot be anyone else's.
    if (const auto it = launch.members.find(launch.leader); it != launch.members.end() && it->second.child)
        kill(-launch.leader, sig);
    for (const auto& [pid, member] : launch.members) {
        if (member.pidfd >= 0)
            syscall(SYS_pidfd_send_signal, member.pidfd, sig, nullptr, 0);
        else
            kill(pid, sig);
    }
}

void Launcher::Stop(ProcessHandle handle) {
    const auto it = launches_.find(handle.pid);
    if (!handle || it == launches_.end() || it->second.stopping) return;
    Launch& launch = it->second;
    // Every helper known now gets the first signal, not only the SIGKILL.
    Follow(launch, ProcessesSince(launch.startTicks));
    launch.stopping = true;
    launch.killAt = SteadyClock::now() + std::chrono::milliseconds(stopGraceMs);
    Signal(launch, SIGTERM);
    ArmTimer();
}

bool Launcher::StopAll(ProcessHandle except) {
    Serve(false);
    bool any = false;
    for (auto& [leader, launch] : launches_) {
        if (leader == except.pid || launch.stopping) continue;
        any = true;
        Stop({leader});
    }
    return any;
}

bool Launcher::RunCommandLine(const std::string& commandLine) {
    const std::vector<std::string> words = SplitCommandLine(commandLine);
    if (words.empty()) return false;
    const std::string path = FindProgram(words.front());
    if (path.empty()) return false;
    long offset = 0;
    const int output = OpenLog(offset);
    const pid_t pid = Spawn(path, words, "", output);
    if (output >= 0) close(output);
    if (pid <= 0) return false;
    commands_.insert(pid);
    return true;
}

void Launcher::Service() { Serve(true); }

void Launcher::Serve(bool follow) {
    // OnEnded may run a nested event loop that comes back here.
    if (serving_) return;
    serving_ = true;
    std::uint64_t expirations = 0;
    if (timer_ >= 0) (void)!read(timer_, &expirations, sizeof expirations);
    std::erase_if(commands_, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });

    // Reading /proc costs a few milliseconds: once when asked, and again
    // before a launch whose known processes all ended counts as ended.
    std::optional<std::vector<ProcessEntry>> processes;
    auto scan = [&]() -> const std::vector<ProcessEntry>& {
        if (!processes) {
            unsigned long long since = ~0ULL;
            for (const auto& [leader, launch] : launches_) since = std::min(since, launch.startTicks);
            processes = ProcessesSince(since);
        }
        return *processes;
    };
    bool endedAny = false;
    const auto now = SteadyClock::now();
    for (auto it = launches_.begin(); it != launches_.end();) {
        const pid_t leader = it->first;
        Launch& launch = it->second;
        if (follow) Follow(launch, scan());
        ReapMembers(launch);
        // Ended only when a look made after its last known process ended finds
        // no other: a child forked just before its parent ended is seen then.
        while (launch.members.empty() && Follow(launch, ProcessesSince(launch.startTicks))) ReapMembers(launch);
        // A process in the middle of fork, exec or exit can slip through one
        // look: a launch counts as ended after a second look a moment later.
        // A stopped one has had its looks until its SIGKILL.
        if (!launch.members.empty() || launch.stopping) launch.emptySince.reset();
        else if (!launch.emptySince) launch.emptySince = now;
        const bool lookAgain = launch.emptySince && now - *launch.emptySince < kSecondLook;
        if (launch.stopping && !launch.killed && now >= launch.killAt) {
            // Whatever ignored SIGTERM.
            launch.killed = true;
            Signal(launch, SIGKILL);
        }
        if (!launch.members.empty() || lookAgain) {
            ++it;
            continue;
        }
        if (!launch.stopping) {
            const bool unplayed = launch.leaderFailed && now - launch.started <= std::chrono::milliseconds(playGraceMs);
            if (ended_.size() >= 64) {
                lastOutput_.erase(ended_.begin()->first);
                ended_.erase(ended_.begin());
            }
            ended_[leader] = unplayed ? LaunchState::Unplayed : LaunchState::Ended;
            if (unplayed) lastOutput_[leader] = ReadOutput(launch.logOffset);
            endedAny = true;
        }
        it = launches_.erase(it);
    }
    ArmTimer();
    serving_ = false;
    if (endedAny && OnEnded) OnEnded();
}

void Launcher::ReapMembers(Launch& launch) {
    std::vector<pid_t> gone;
    for (const auto& [pid, member] : launch.members) {
        if (!MemberEnded(pid, member.pidfd)) continue;
        int status = 0;
        // -1: reaped elsewhere; it is gone all the same, and its fd must not stay readable.
        if (member.child && waitpid(pid, &status, WNOHANG) == 0) continue;
        if (pid == launch.leader && !launch.stopping)
            launch.leaderFailed = !WIFEXITED(status) || WEXITSTATUS(status) != 0;
        gone.push_back(pid);
    }
    for (pid_t pid : gone) Drop(launch, pid);
}

void Launcher::ArmTimer() {
    if (timer_ < 0) return;
    itimerspec spec{};
    bool stopping = false;
    auto next = SteadyClock::time_point::max();
    for (const auto& [leader, launch] : launches_) {
        stopping = stopping || launch.stopping || launch.emptySince;
        if (launch.stopping && !launch.killed) next = std::min(next, launch.killAt);
        if (launch.emptySince) next = std::min(next, *launch.emptySince + kSecondLook);
    }
    if (stopping) {
        // Also looks again now and then for what a stopped launch still starts.
        const auto now = SteadyClock::now();
        const auto wait = std::clamp(std::chrono::duration_cast<std::chrono::nanoseconds>(next - now),
                                     std::chrono::nanoseconds(1), std::chrono::nanoseconds(100'000'000));
        spec.it_value.tv_sec = static_cast<time_t>(wait.count() / 1'000'000'000);
        spec.it_value.tv_nsec = static_cast<long>(wait.count() % 1'000'000'000);
    }
    timerfd_settime(timer_, 0, &spec, nullptr);
}

LaunchState Launcher::State(ProcessHandle handle) {
    Serve(false);
    if (const auto it = launches_.find(handle.pid); handle && it != launches_.end())
        return it->second.stopping ? LaunchState::Ended : LaunchState::Running;
    const auto it = ended_.find(handle.pid);
    return handle && it != ended_.end() ? it->second : LaunchState::Ended;
}

bool Launcher::AnyRunning() {
    Serve(false);
    return std::any_of(launches_.begin(), launches_.end(), [](const auto& l) { return !l.second.stopping; });
}

bool Launcher::AnyAlive() {
    Serve(false);
    return !launches_.empty();
}

std::string Launcher::LastOutput(ProcessHandle handle) const {
    const auto it = lastOutput_.find(handle.pid);
    return it == lastOutput_.end() ? "" : it->second;
}

bool Launcher::WaitIdle(int timeoutMs) {
    const auto until = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        Service();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - SteadyClock::now()).count();
        if (launches_.empty() || left <= 0) return launches_.empty();
        pollfd p{epoll_, POLLIN, 0};
        // Short rounds: a launch may still start processes no fd tells of.
        poll(&p, 1, static_cast<int>(std::min<long long>(left, 50)));
    }
}

}  // namespace tolvenmark
