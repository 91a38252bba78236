#include "wake/wake_privileges.h"

#include <grp.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tolvenmark::wake {

namespace {

constexpr std::uint64_t Bit(int capability) { return std::uint64_t{1} << capability; }

class SystemCalls final : public PrivilegeCalls {
public:
    ProcessIds Ids() override {
        ProcessIds ids;
        getresuid(&ids.ruid, &ids.euid, &ids.suid);
        getresgid(&ids.rgid, &ids.egid, &ids.sgid);
        return ids;
    }

    bool KeepCapabilities(std::uint64_t keep) override {
        prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (syscall(SYS_capget, &header, data) != 0) return false;
        for (int i = 0; i < 2; ++i) {
            data[i].permitted &= static_cast<std::uint32_t>(keep >> (32 * i));
            data[i].effective = data[i].permitted;
            data[i].inheritable = 0;
        }
        return syscall(SYS_capset, &header, data) == 0;
    }

    bool BecomeUser(uid_t uid, gid_t gid) override {
        if (prctl(PR_SET_KEEPCAPS, 1, 0, 0, 0) != 0 || setgroups(0, nullptr) != 0 ||
            setresgid(gid, gid, gid) != 0 || setresuid(uid, uid, uid) != 0)
            return false;
        return prctl(PR_SET_KEEPCAPS, 0, 0, 0, 0) == 0;
    }

    bool ForbidNewPrivileges() override { return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0; }
};

}  // namespace

PrivilegeCalls& SystemPrivilegeCalls() {
    static SystemCalls calls;
    return calls;
}

std::string DropPrivileges(PrivilegeCalls& calls) {
    const ProcessIds ids = calls.Ids();
    // Root's ids own the system's files even without capabilities; a
    // set-user-id or set-group-id install gives only some of them.
    if (ids.ruid == 0 || ids.euid == 0 || ids.suid == 0 || ids.rgid == 0 || ids.egid == 0 || ids.sgid == 0) {
        const uid_t uid = ids.ruid == 0 ? kNobody : ids.ruid;
        const gid_t gid = ids.rgid == 0 ? kNobody : ids.rgid;
        if (!calls.KeepCapabilities(Bit(CAP_WAKE_ALARM) | Bit(CAP_SETUID) | Bit(CAP_SETGID)) ||
            !calls.BecomeUser(uid, gid))
            return "cannot give up root";
    }
    if (!calls.KeepCapabilities(Bit(CAP_WAKE_ALARM))) return "cannot drop capabilities";
    if (!calls.ForbidNewPrivileges()) return "cannot forbid new privileges";
    return {};
}

}  // namespace tolvenmark::wake
