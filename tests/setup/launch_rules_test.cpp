#include "setup/launch_rules.h"

#include <cstdlib>
#include <map>
#include <tuple>
#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::TempDir;
using testing::WriteFileBytes;

struct Delay {
    const char* mediaType;
    const char* iConnect;
    const char* wait;
    bool connected;
    bool dialFirst;
    int intervalMs;
    Gate gate;
};
void PrintTo(const Delay& d, std::ostream* os) {
    *os << d.mediaType << "/" << d.iConnect << "/wait=" << d.wait << "/" << (d.connected ? "up" : "down");
}

class LaunchDelayAndGateTest : public ::testing::TestWithParam<Delay> {};

TEST_P(LaunchDelayAndGateTest, Rule) {
    const Delay& d = GetParam();
    const LaunchSettings s{"WMP", d.mediaType, "x", d.iConnect, d.wait};
    const LaunchDelay delay = PlanLaunchDelay(s, d.connected);
    EXPECT_EQ(delay.dialFirst, d.dialFirst);
    EXPECT_EQ(delay.intervalMs, d.intervalMs);
    EXPECT_EQ(LaunchGate(s, d.connected), d.gate);
}

constexpr const char* kRadio = "Internet Radio Station";
constexpr const char* kLan = "Local Area Network (LAN)";

INSTANTIATE_TEST_SUITE_P(
    Rules, LaunchDelayAndGateTest,
    ::testing::Values(
        // Only a radio alarm on a dial-up entry that is down waits and may be stopped.
        Delay{kRadio, "My ISP", "", false, true, 60000, Gate::NoConnection},
        Delay{kRadio, "My ISP", "30", false, true, 30000, Gate::NoConnection},
        Delay{kRadio, "", "30", false, true, 30000, Gate::NoConnection},
        Delay{kRadio, "My ISP", "30", true, false, 1000, Gate::Go},
        Delay{kRadio, kLan, "30", false, false, 1000, Gate::Go},
        // Nonsense waits would never launch or wait for days.
        Delay{kRadio, "My ISP", "0", false, true, 1000, Gate::NoConnection},
        Delay{kRadio, "My ISP", "-5", false, true, 1000, Gate::NoConnection},
        Delay{kRadio, "My ISP", "abc", false, true, 60000, Gate::NoConnection},
        Delay{kRadio, "My ISP", "7200", false, true, 7200000, Gate::NoConnection},
        Delay{kRadio, "My ISP", "2147484", false, true, 2147483000, Gate::NoConnection},
        // Local media and discs need no connection at all.
        Delay{"MP3", "", "30", false, false, 1000, Gate::Go}, Delay{"MP3", "My ISP", "30", false, false, 1000, Gate::Go},
        Delay{"CD Audio", "My ISP", "", false, false, 1000, Gate::Go},
        Delay{"Text Message", "My ISP", "30", false, false, 1000, Gate::Go},
        Delay{"Network Message", "", "", false, false, 1000, Gate::Go}));

struct Number {
    const char* text;
    int snooze;
    int wait;
};
void PrintTo(const Number& n, std::ostream* os) { *os << '[' << n.text << ']'; }

class ClampTest : public ::testing::TestWithParam<Number> {};

TEST_P(ClampTest, SnoozeAndWait) {
    EXPECT_EQ(SnoozeMinutes(GetParam().text), GetParam().snooze);
    EXPECT_EQ(WaitSeconds(GetParam().text), GetParam().wait);
}

INSTANTIATE_TEST_SUITE_P(Rules, ClampTest,
                         ::testing::Values(Number{"", 5, 60}, Number{"10", 10, 10}, Number{"1", 1, 1},
                                           Number{"0", 5, 1}, Number{"-3", 5, 1}, Number{"ten", 5, 60},
                                           Number{"1440", 1440, 1440}, Number{"1441", 1440, 1441},
                                           Number{"3601", 1440, 3601}, Number{"2147484", 1440, 2147483},
                                           Number{"99999999999", 5, 60}));

// A configuration and a PATH of its own, with real files in a temporary folder.
class PlayerRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldPath_ = std::getenv("PATH");
        setenv("PATH", dir.path().c_str(), 1);
        lookups = SystemLookups({[this](const std::string& k) { return keys[k]; }, nullptr});
    }
    void TearDown() override { setenv("PATH", oldPath_.c_str(), 1); }
    std::string Program(const std::string& name) {
        WriteFileBytes(dir.File(name), "#!/bin/sh\n");
        chmod(dir.File(name).c_str(), 0755);
        return dir.File(name);
    }

    TempDir dir;
    std::map<std::string, std::string> keys;
    LaunchLookups lookups;

private:
    std::string oldPath_;
};

TEST_F(PlayerRulesTest, EachCodeReadsItsOwnSlot) {
    for (const char* code : {"WMP", "WINAMP", "REALONE", "QUICKTIME", "CUSTOM"}) keys[code] = Program(std::string(code) + " player");
    for (const char* code : {"WMP", "WINAMP", "REALONE", "QUICKTIME", "CUSTOM"}) {
        const PlayerCommand p = ResolvePlayer(code, "a.mp3", lookups);
        EXPECT_TRUE(p.chosen) << code;
        EXPECT_EQ(p.program, dir.File(std::string(code) + " player")) << code;
        EXPECT_TRUE(p.options.empty());
    }
}

TEST_F(PlayerRulesTest, AnEmptySlotFallsBackInOrder) {
    EXPECT_EQ(ResolvePlayer("WMP", "a.mp3", lookups).program, "");
    EXPECT_EQ(FallbackPlayerName(lookups), "");
    Program("paplay");
    EXPECT_EQ(ResolvePlayer("WMP", "a.mp3", lookups).program, "");  // paplay plays WAV only
    EXPECT_EQ(ResolvePlayer("WMP", "/x/a.WAV", lookups).program, dir.File("paplay"));
    Program("ffplay");
    const PlayerCommand ff = ResolvePlayer("WMP", "a.mp3", lookups);
    EXPECT_EQ(ff.program, dir.File("ffplay"));
    EXPECT_THAT(ff.options, ::testing::ElementsAre("-nodisp", "-autoexit"));
    Program("vlc");
    EXPECT_EQ(ResolvePlayer("WMP", "a.mp3", lookups).program, dir.File("vlc"));
    Program("mpv");
    EXPECT_EQ(ResolvePlayer("QUICKTIME", "a.mp3", lookups).program, dir.File("mpv"));
    EXPECT_EQ(ResolvePlayer("", "a.mp3", lookups).program, dir.File("mpv"));  // no player ticked
    EXPECT_FALSE(ResolvePlayer("NOTAPLAYER", "a.mp3", lookups).chosen);
    EXPECT_EQ(FallbackPlayerName(lookups), "mpv");
}

// No argument is read as an option: {fallback, options, argument} -> {options, argument}.
using GuardCase = std::tuple<bool, std::vector<std::string>, std::string, std::vector<std::string>, std::string>;
class GuardArgumentTest : public ::testing::TestWithParam<GuardCase> {};

TEST_P(GuardArgumentTest, Rule) {
    const auto& [fallback, options, argument, optionsAfter, argumentAfter] = GetParam();
    PlayerCommand player{true, "/usr/bin/x", options, fallback};
    std::string guarded = argument;
    GuardArgument(player, guarded);
    EXPECT_EQ(player.options, optionsAfter);
    EXPECT_EQ(guarded, argumentAfter);
}

using V = std::vector<std::string>;
INSTANTIATE_TEST_SUITE_P(
    Players, GuardArgumentTest,
    ::testing::Values(GuardCase{true, V{}, "--script=x.lua", V{"--"}, "--script=x.lua"},
                      GuardCase{true, V{"-nodisp"}, "/m/a.mp3", V{"-nodisp", "--"}, "/m/a.mp3"},
                      GuardCase{true, V{}, "", V{}, ""}, GuardCase{false, V{}, "-x.mp3", V{}, "./-x.mp3"},
                      GuardCase{false, V{}, "/m/-x.mp3", V{}, "/m/-x.mp3"},
                      GuardCase{false, V{}, "http://radio/-1", V{}, "http://radio/-1"}));

}  // namespace
}  // namespace tolvenmark
