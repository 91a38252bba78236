#include "platform/bus_probe.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

// The variables as they were, back after the test.
struct SavedVariables {
    const char* names[3] = {"DBUS_SYSTEM_BUS_ADDRESS", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"};
    std::optional<std::string> values[3];
    SavedVariables() {
        for (int i = 0; i < 3; ++i)
            if (const char* v = std::getenv(names[i])) values[i] = v;
    }
    ~SavedVariables() {
        for (int i = 0; i < 3; ++i)
            values[i] ? ::setenv(names[i], values[i]->c_str(), 1) : ::unsetenv(names[i]);
    }
};

TEST(BusProbeTest, TheLocalSocketOfAnAddress) {
    const struct {
        const char* address;
        const char* name;  // nullptr: none to probe
        bool abstract;
    } cases[] = {
        {"unix:path=/run/user/1000/bus", "/run/user/1000/bus", false},
        {"unix:abstract=/tmp/dbus-x,guid=0123", "/tmp/dbus-x", true},
        {"tcp:host=localhost,port=1;unix:guid=1,path=/a%20b", "/a b", false},
        {"unix:path=/a%2", nullptr, false},
        {"tcp:host=localhost,port=1", nullptr, false},
        {"", nullptr, false},
    };
    for (const auto& c : cases) {
        const auto socket = LocalBusSocket(c.address);
        ASSERT_EQ(socket.has_value(), c.name != nullptr) << c.address;
        if (socket) EXPECT_TRUE(socket->name == c.name && socket->abstract == c.abstract) << c.address;
    }
}

// A daemon that took the connection but never answers (stopped), and one that
// is not there: neither answers; the environment then names a bus that fails
// at once, and the address as it was is kept.
TEST(BusProbeTest, AHungOrMissingDaemonIsReplacedInTheEnvironment) {
    testing::TempDir dir;
    const std::string hung = dir.File("hung");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, hung.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    EXPECT_EQ(BusesAnswer({{hung, false}, {dir.File("none"), false}}, 300), (std::vector<bool>{false, false}));

    SavedVariables saved;
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + hung).c_str(), 1);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);  // without a bus in it
    SettleBusEnvironment(300);
    EXPECT_STREQ(std::getenv("DBUS_SYSTEM_BUS_ADDRESS"), kNoBusAddress);
    EXPECT_STREQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), kNoBusAddress);  // none launched for us
    EXPECT_EQ(BusAddress(BusKind::System), "unix:path=" + hung);
    EXPECT_EQ(BusAddress(BusKind::Session), "");
    ::close(listener);
}

}  // namespace
}  // namespace tolvenmark
