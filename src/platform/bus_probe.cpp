#include "platform/bus_probe.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace tolvenmark {

namespace {

bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// A broken escape makes the address one the bus library refuses too.
std::optional<std::string> Unescaped(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            out += value[i];
            continue;
        }
        if (i + 2 >= value.size() || !IsHex(value[i + 1]) || !IsHex(value[i + 2])) return std::nullopt;
        out += static_cast<char>(std::stoi(value.substr(i + 1, 2), nullptr, 16));
        i += 2;
    }
    return out;
}

// A connected socket with the handshake's first line sent, or -1.
int Ask(const BusSocket& socket) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socket.name.empty() || socket.name.size() >= sizeof address.sun_path) return -1;
    std::memcpy(address.sun_path + (socket.abstract ? 1 : 0), socket.name.data(), socket.name.size());
    const socklen_t length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + socket.name.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    std::string hello(1, '\0');
    hello += "AUTH EXTERNAL ";
    for (const char c : std::to_string(::getuid())) {
        static const char digits[] = "0123456789abcdef";
        hello += digits[(c >> 4) & 15];
        hello += digits[c & 15];
    }
    hello += "\r\n";
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
        ::send(fd, hello.data(), hello.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(hello.size())) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string settledSession, settledSystem;
bool settled = false;

}  // namespace

std::optional<BusSocket> LocalBusSocket(const std::string& address) {
    std::size_t start = 0;
    while (start <= address.size()) {
        std::size_t end = address.find(';', start);
        if (end == std::string::npos) end = address.size();
        const std::string entry = address.substr(start, end - start);
        start = end + 1;
        if (entry.rfind("unix:", 0) != 0) continue;
        std::size_t key = 5;
        while (key < entry.size()) {
            std::size_t next = entry.find(',', key);
            if (next == std::string::npos) next = entry.size();
            const std::string pair = entry.substr(key, next - key);
            key = next + 1;
            for (const auto& [prefix, abstract] : {std::pair{"path=", false}, std::pair{"abstract=", true}}) {
                const std::size_t n = std::strlen(prefix);
                if (pair.compare(0, n, prefix) != 0) continue;
                const auto name = Unescaped(pair.substr(n));
                if (!name) return std::nullopt;
                return BusSocket{*name, abstract};
            }
        }
    }
    return std::nullopt;
}

std::vector<bool> BusesAnswer(const std::vector<BusSocket>& sockets, int timeoutMs) {
    std::vector<bool> answered(sockets.size(), false);
    std::vector<pollfd> waiting;
    std::vector<std::size_t> which;
    for (std::size_t i = 0; i < sockets.size(); ++i) {
        const int fd = Ask(sockets[i]);
        if (fd < 0) continue;
        waiting.push_back({fd, POLLIN, 0});
        which.push_back(i);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t open = waiting.size();
    while (open > 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) break;
        const int n = ::poll(waiting.data(), waiting.size(), static_cast<int>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        for (std::size_t k = 0; k < waiting.size(); ++k) {
            if (waiting[k].fd < 0 || waiting[k].revents == 0) continue;
            char reply[64];
            // Any answer is a daemon at work; a closed socket is none.
            answered[which[k]] = ::recv(waiting[k].fd, reply, sizeof reply, 0) > 0;
            ::close(waiting[k].fd);
            waiting[k].fd = -1;
            --open;
        }
    }
    for (const pollfd& p : waiting)
        if (p.fd >= 0) ::close(p.fd);
    return answered;
}

std::string BusAddressOf(BusKind kind) {
    if (kind == BusKind::System) {
        const std::string named = Variable("DBUS_SYSTEM_BUS_ADDRESS");
        return named.empty() ? "unix:path=/var/run/dbus/system_bus_socket" : named;
    }
    const std::string named = Variable("DBUS_SESSION_BUS_ADDRESS");
    if (!named.empty()) return named;
    const std::string runtime = Variable("XDG_RUNTIME_DIR");
    struct stat st {};
    if (!runtime.empty() && ::stat((runtime + "/bus").c_str(), &st) == 0 && S_ISSOCK(st.st_mode))
        return "unix:path=" + runtime + "/bus";
    return "";
}

void SettleBusEnvironment(int timeoutMs) {
    settledSession = BusAddressOf(BusKind::Session);
    settledSystem = BusAddressOf(BusKind::System);
    settled = true;
    const std::pair<const char*, std::string*> buses[] = {{"DBUS_SESSION_BUS_ADDRESS", &settledSession},
                                                          {"DBUS_SYSTEM_BUS_ADDRESS", &settledSystem}};
    std::vector<BusSocket> sockets;
    std::vector<const char*> variables;
    for (const auto& [variable, address] : buses) {
        if (address->empty()) {
            ::setenv(variable, kNoBusAddress, 1);
        } else if (const auto socket = LocalBusSocket(*address)) {
            sockets.push_back(*socket);
            variables.push_back(variable);
        }
    }
    const std::vector<bool> answered = BusesAnswer(sockets, timeoutMs);
    for (std::size_t i = 0; i < answered.size(); ++i)
        if (!answered[i]) ::setenv(variables[i], kNoBusAddress, 1);
}

std::string BusAddress(BusKind kind) {
    if (!settled) return BusAddressOf(kind);
    return kind == BusKind::Session ? settledSession : settledSystem;
}

}  // namespace tolvenmark
