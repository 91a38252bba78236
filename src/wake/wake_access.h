#pragma once

// Who may hold a wake-up timer through the helper: a person at the machine,
// one timer each. The file's capability would otherwise let any account,
// service accounts and remote logins included, keep the machine awake or wake
// it at will, with as many timers as it starts helpers.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace tolvenmark::wake {

// What logind knows of login sessions; tests answer from a table.
class LoginSessions {
public:
    struct Session {
        uid_t uid = 0;
        bool remote = false;
        bool seat = false;    // at a seat: a screen and keyboard of this machine
        std::string kind;     // logind's class: "user", "greeter", "background", ...
    };
    virtual ~LoginSessions() = default;
    // The session whose process `pid` is; none when it is in none (a service,
    // or a program the desktop started in a unit of the user's own manager).
    virtual std::optional<std::string> SessionOf(pid_t pid) = 0;
    // The user's graphical session, else the one logind shows as theirs.
    virtual std::optional<std::string> DisplaySessionOf(uid_t uid) = 0;
    virtual std::optional<Session> Describe(const std::string& session) = 0;
};

LoginSessions& Logind();

// The first user id of a person's account; those below, and nobody, are the system's.
inline constexpr uid_t kFirstPersonUid = 1000;

// Why the caller, user `uid`, started by process `parent`, may not have a
// timer; empty when it may. Root has the capability itself, so it may.
std::string RefuseCaller(uid_t uid, pid_t parent, LoginSessions& sessions = Logind());

// The processes under `procRoot` (/proc) other than `self` whose real user is
// `uid` and which hold CAP_WAKE_ALARM: earlier helpers of the same user.
std::vector<pid_t> HeldTimers(uid_t uid, pid_t self, const std::string& procRoot = "/proc");

// Ends the user's earlier helpers, so this one's timer replaces theirs. Each
// helper is seen from its start, so of helpers started at once at most one
// outlives the others; SIGKILL, which a stopped helper cannot hold off.
void ReplaceEarlierHelpers(uid_t uid);

}  // namespace tolvenmark::wake
