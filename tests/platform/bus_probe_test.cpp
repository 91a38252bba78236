#include "platform/bus_probe.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

// A daemon that took the connection but never answers (stopped), and a session
// without a bus: the environment names a bus that fails at once (no daemon
// waited for, none launched), and the addresses as they were are kept.
TEST(BusProbeTest, AHungOrMissingBusIsReplacedInTheEnvironment) {
    EXPECT_EQ(LocalBusSocket("tcp:host=h,port=1;unix:guid=1,abstract=/a%20b")->name, "/a b");
    EXPECT_FALSE(LocalBusSocket("unix:path=/a%2"));
    testing::TempDir dir;
    const std::string hung = dir.File("hung");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    std::strcpy(address.sun_path, hung.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    const char* names[] = {"DBUS_SYSTEM_BUS_ADDRESS", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"};
    std::string saved[3];
    for (int i = 0; i < 3; ++i) saved[i] = std::getenv(names[i]) ? std::getenv(names[i]) : "";
    ::setenv(names[0], ("unix:path=" + hung).c_str(), 1);
    ::unsetenv(names[1]);
    ::setenv(names[2], dir.path().c_str(), 1);  // without a bus in it
    SettleBusEnvironment(300);
    EXPECT_STREQ(std::getenv(names[0]), kNoBusAddress);
    EXPECT_STREQ(std::getenv(names[1]), kNoBusAddress);
    EXPECT_EQ(BusAddress(BusKind::System), "unix:path=" + hung);
    EXPECT_EQ(BusAddress(BusKind::Session), "");
    for (int i = 0; i < 3; ++i) saved[i].empty() ? ::unsetenv(names[i]) : ::setenv(names[i], saved[i].c_str(), 1);
    ::close(listener);
}

}  // namespace
}  // namespace tolvenmark
