#pragma once

// The wake helper's start: it gives up every privilege but CAP_WAKE_ALARM,
// and root's ids with them, however it was given root.

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace tolvenmark::wake {

struct ProcessIds {
    uid_t ruid = 0, euid = 0, suid = 0;
    gid_t rgid = 0, egid = 0, sgid = 0;
};

// The calls that change the process's privileges; tests record them instead.
class PrivilegeCalls {
public:
    virtual ~PrivilegeCalls() = default;
    virtual ProcessIds Ids() = 0;
    // Keeps only the capabilities in `keep` (bit numbers), none inheritable or ambient.
    virtual bool KeepCapabilities(std::uint64_t keep) = 0;
    // Every user id becomes `uid`, every group id `gid`, no supplementary
    // group stays, and the permitted capabilities survive the change.
    virtual bool BecomeUser(uid_t uid, gid_t gid) = 0;
    virtual bool ForbidNewPrivileges() = 0;
};

PrivilegeCalls& SystemPrivilegeCalls();

inline constexpr uid_t kNobody = 65534;

// Empty when every privilege but CAP_WAKE_ALARM is gone, else why not. Holding
// any root id, it becomes its caller (the real ids), or nobody for root's.
std::string DropPrivileges(PrivilegeCalls& calls = SystemPrivilegeCalls());

}  // namespace tolvenmark::wake
