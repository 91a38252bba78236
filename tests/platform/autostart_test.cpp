#include "platform/autostart.h"

#include <cstdlib>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/conversion_error.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::TempDir;

// Points HOME and XDG_CONFIG_HOME at a test's folder for its lifetime.
class ScopedHome {
public:
    ScopedHome(const std::string& home, const char* configHome) {
        Save("HOME", home_);
        Save("XDG_CONFIG_HOME", config_);
        setenv("HOME", home.c_str(), 1);
        if (configHome) setenv("XDG_CONFIG_HOME", configHome, 1);
        else unsetenv("XDG_CONFIG_HOME");
    }
    ~ScopedHome() {
        Restore("HOME", home_);
        Restore("XDG_CONFIG_HOME", config_);
    }

private:
    static void Save(const char* name, std::optional<std::string>& slot) {
        if (const char* v = std::getenv(name)) slot = v;
    }
    static void Restore(const char* name, const std::optional<std::string>& slot) {
        if (slot) setenv(name, slot->c_str(), 1);
        else unsetenv(name);
    }
    std::optional<std::string> home_, config_;
};

struct ExecCase {
    const char* path;
    std::optional<std::string> exec;
};

class ExecArgumentTest : public ::testing::TestWithParam<ExecCase> {};

// A desktop entry's Exec value is unquoted twice (string escapes, then the
// argument quoting): what is written must come back as the same path.
TEST_P(ExecArgumentTest, QuotesWhatTheLauncherWouldSplitOrExpand) {
    EXPECT_EQ(ExecArgument(GetParam().path), GetParam().exec);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExecArgumentTest,
    ::testing::Values(ExecCase{"/usr/bin/tolvenmark-clock", "/usr/bin/tolvenmark-clock"},
                      ExecCase{"/opt/my clock/tc", "\"/opt/my clock/tc\""},
                      ExecCase{"/opt/100%/tc", "/opt/100%%/tc"},
                      ExecCase{"/opt/$HOME/tc", "\"/opt/\\\\$HOME/tc\""},
                      ExecCase{"/opt/a\"b", "\"/opt/a\\\\\"b\""},
                      ExecCase{"/opt/a\\b", "\"/opt/a\\\\\\\\b\""},
                      ExecCase{"/opt/it's", "\"/opt/it's\""},
                      ExecCase{"/opt/a=b;c", "\"/opt/a=b;c\""},
                      ExecCase{"/opt/a\nb", std::nullopt},
                      ExecCase{"/opt/a\tb", std::nullopt},
                      ExecCase{"", std::nullopt}));

struct PathCase {
    const char* configHome;  // nullptr: unset
    const char* expectedUnderHome;
};

class AutostartPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(AutostartPathTest, FollowsTheXdgConfigHome) {
    ScopedHome env("/home/ada", GetParam().configHome);
    EXPECT_EQ(AutostartEntryPath(), GetParam().expectedUnderHome);
}

INSTANTIATE_TEST_SUITE_P(
    ConfigHomes, AutostartPathTest,
    ::testing::Values(PathCase{"/x/conf", "/x/conf/autostart/tolvenmark-clock.desktop"},
                      PathCase{nullptr, "/home/ada/.config/autostart/tolvenmark-clock.desktop"},
                      // Relative values are to be ignored.
                      PathCase{"conf", "/home/ada/.config/autostart/tolvenmark-clock.desktop"}));

// A path with a line break would add lines of its own to the entry.
TEST(AutostartEntryTest, APathAnExecLineCannotCarryIsRefused) {
    TempDir dir;
    ScopedHome env(dir.path(), nullptr);
    try {
        WriteAutostartEntry("/opt/a\nExec=/bin/evil");
        FAIL() << "no error";
    } catch (const OperationError& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'Tolvenmark Clock'");
    }
    EXPECT_FALSE(AutostartEntryExists());
}

}  // namespace
}  // namespace tolvenmark
