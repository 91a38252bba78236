#include "wake/wake_access.h"

#include <dirent.h>
#include <signal.h>
#include <systemd/sd-login.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string_view>

namespace tolvenmark::wake {

namespace {

constexpr uid_t kNobody = 65534;
constexpr int kWakeAlarmBit = 35;  // CAP_WAKE_ALARM

// libsystemd hands out strings the caller frees.
std::optional<std::string> Take(int result, char* text) {
    if (result < 0 || !text) return std::nullopt;
    std::string taken(text);
    std::free(text);
    return taken;
}

class SystemLogind final : public LoginSessions {
public:
    std::optional<std::string> SessionOf(pid_t pid) override {
        char* session = nullptr;
        return Take(sd_pid_get_session(pid, &session), session);
    }
    std::optional<std::string> DisplaySessionOf(uid_t uid) override {
        char* session = nullptr;
        return Take(sd_uid_get_display(uid, &session), session);
    }
    std::optional<Session> Describe(const std::string& id) override {
        Session session;
        char* kind = nullptr;
        char* seat = nullptr;
        const int remote = sd_session_is_remote(id.c_str());
        if (sd_session_get_uid(id.c_str(), &session.uid) < 0 || remote < 0) return std::nullopt;
        session.remote = remote > 0;
        session.kind = Take(sd_session_get_class(id.c_str(), &kind), kind).value_or("");
        session.seat = Take(sd_session_get_seat(id.c_str(), &seat), seat).has_value();
        return session;
    }
};

// The hexadecimal value after `key` in a /proc status text.
std::optional<unsigned long long> StatusField(const std::string& status, std::string_view key, int base) {
    const std::size_t at = status.find(key);
    if (at == std::string::npos) return std::nullopt;
    const char* start = status.c_str() + at + key.size();
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(start, &end, base);
    if (end == start || errno != 0) return std::nullopt;
    return value;
}

}  // namespace

LoginSessions& Logind() {
    static SystemLogind logind;
    return logind;
}

std::string RefuseCaller(uid_t uid, pid_t parent, LoginSessions& sessions) {
    if (uid == 0) return {};
    if (uid < kFirstPersonUid || uid == kNobody) return "not for a system account";
    // A desktop starts programs in units of the user's own manager, outside
    // the session: then the user's own session at the machine counts.
    std::optional<std::string> id = sessions.SessionOf(parent);
    if (!id) id = sessions.DisplaySessionOf(uid);
    if (!id) return "not in a login session";
    const std::optional<LoginSessions::Session> session = sessions.Describe(*id);
    if (!session) return "not in a login session";
    if (session->uid != uid) return "not in a session of this user";
    if (session->remote || !session->seat) return "not in a local login session";
    if (session->kind != "user") return "not in a user's login session";
    return {};
}

std::vector<pid_t> HeldTimers(uid_t uid, pid_t self, const std::string& procRoot) {
    std::vector<pid_t> found;
    DIR* dir = opendir(procRoot.c_str());
    if (!dir) return found;
    while (const dirent* entry = readdir(dir)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (*end != '\0' || pid <= 0 || pid == self) continue;
        std::ifstream file(procRoot + "/" + entry->d_name + "/status");
        const std::string status((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const auto realUid = StatusField(status, "\nUid:", 10);
        const auto effective = StatusField(status, "\nCapEff:", 16);
        if (realUid && effective && *realUid == uid && (*effective >> kWakeAlarmBit & 1))
            found.push_back(static_cast<pid_t>(pid));
    }
    closedir(dir);
    return found;
}

void ReplaceEarlierHelpers(uid_t uid) {
    for (const pid_t pid : HeldTimers(uid, getpid())) kill(pid, SIGKILL);
}

}  // namespace tolvenmark::wake
