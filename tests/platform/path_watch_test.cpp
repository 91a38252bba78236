#include "platform/path_watch.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using Woken = PathWatch::Woken;
constexpr std::chrono::seconds kLong{30}, kNone{0};
// A socket two folders below what exists: each step on the way wakes the
// waiter (who then watches again), something else made on the way does not,
// and Stop ends the wait.
TEST(PathWatchTest, EachStepTowardsTheFileWakesAndNothingElse) {
    testing::TempDir dir;
    const std::string socket = dir.File("run/dbus/system_bus_socket");
    PathWatch watch;
    ASSERT_TRUE(watch.Watch({socket}));
    testing::WriteFileBytes(dir.File("other"), "");
    EXPECT_EQ(watch.Wait(kNone), Woken::TimedOut);
    for (const std::string& step : {dir.File("run"), dir.File("run/dbus")}) {
        std::filesystem::create_directory(step);
        EXPECT_EQ(watch.Wait(kLong), Woken::Step) << step;
        ASSERT_TRUE(watch.Watch({socket}));
    }
    testing::WriteFileBytes(dir.File("run/dbus/other"), "");
    EXPECT_EQ(watch.Wait(kNone), Woken::TimedOut);
    testing::WriteFileBytes(socket, "");
    EXPECT_EQ(watch.Wait(kLong), Woken::Step);
    watch.Stop();
    EXPECT_EQ(watch.Wait(kLong), Woken::Stopped);
}

}  // namespace
}  // namespace tolvenmark
