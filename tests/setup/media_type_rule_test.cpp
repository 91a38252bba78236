#include "setup/media_type_rule.h"

#include <gtest/gtest.h>


namespace tolvenmark {
namespace {

struct RuleCase {
    const char* type;
    const char* player;
    const char* cd;
    const char* dvd;
    int index;
    MediaRuleResult want;
};

void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << '"' << c.type << "\" with \"" << c.player << "\" cd=\"" << c.cd << "\" dvd=\"" << c.dvd
        << "\" index=" << c.index;
}

class MediaTypeRuleTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(MediaTypeRuleTest, GivesCaptionBrowseAndStartString) {
    const RuleCase& c = GetParam();
    const MediaRuleResult got = ApplyMediaTypeRule({c.type, c.player, c.cd, c.dvd, c.index});
    EXPECT_EQ(got.caption, c.want.caption);
    EXPECT_EQ(got.browseEnabled, c.want.browseEnabled);
    EXPECT_EQ(got.startString, c.want.startString);
}

constexpr auto kKeep = std::nullopt;
const std::string kFile = "File to Open";
const std::string kWmpLine = "Command Line String for Windows Media Player";

INSTANTIATE_TEST_SUITE_P(
    EveryRow, MediaTypeRuleTest,
    ::testing::Values(
        RuleCase{"MP3", "WMP", "E", "F", 1, {kFile, true, kKeep}},
        RuleCase{"Other File Format", "", "", "", 0, {kFile, true, kKeep}},
        RuleCase{"Internet Radio Station", "WINAMP", "E", "F", 0,
                 {"URL of Internet Radio Stream or Playlist File", true, kKeep}},
        RuleCase{"Text Message", "WMP", "E", "F", 0, {"Message To Display", false, kKeep}},
        RuleCase{"Network Message", "", "E", "F", 0, {"Message To Send", false, "net send "}},
        // CD Audio: the ticked player builds its own disc address.
        RuleCase{"CD Audio", "WMP", "E", "F", 1, {kWmpLine, false, "wmpcd://1/1"}},
        RuleCase{"CD Audio", "WMP", "", "", 0, {kWmpLine, false, "wmpcd://0/1"}},
        RuleCase{"CD Audio", "WINAMP", "E", "F", 1, {"Command Line String for Winamp", false, "cda://E,1"}},
        RuleCase{"CD Audio", "WINAMP", "", "", 0, {"Command Line String for Winamp", false, "cda://D,1"}},
        RuleCase{"CD Audio", "REALONE", "E", "F", 0, {"Command Line String for Real One Player", false, ""}},
        RuleCase{"CD Audio", "QUICKTIME", "E", "F", 0, {"Command Line String for QuickTime Player", false, ""}},
        RuleCase{"CD Audio", "CUSTOM", "E", "F", 0, {"Command Line String for Custom Player", false, ""}},
        RuleCase{"CD Audio", "", "E", "F", 0, {kKeep, false, kKeep}},
        // DVD: only Windows Media Player gets an address.
        RuleCase{"DVD", "WMP", "E", "F", 0, {kWmpLine, false, "wmpdvd://F"}},
        RuleCase{"DVD", "WMP", "E", "", 0, {kWmpLine, false, "wmpdvd://D"}},
        RuleCase{"DVD", "WINAMP", "E", "F", 0, {"Command Line String for DVD", false, ""}},
        RuleCase{"DVD", "", "E", "F", 0, {"Command Line String for DVD", false, ""}},
        // VCD: players that open the disc's movie file directly.
        RuleCase{"VCD", "WMP", "E", "F", 0, {"Video CD (VCD)", false, "E:\\Mpegav\\Avseq01.dat"}},
        RuleCase{"VCD", "REALONE", "E", "F", 0, {"Video CD (VCD)", false, "E:\\Mpegav\\Avseq01.dat"}},
        RuleCase{"VCD", "CUSTOM", "", "F", 0, {"Video CD (VCD)", false, "D:\\Mpegav\\Avseq01.dat"}},
        RuleCase{"VCD", "WINAMP", "E", "F", 0, {"Video CD (VCD)", false, ""}},
        RuleCase{"VCD", "QUICKTIME", "E", "F", 0, {"Video CD (VCD)", false, ""}},
        RuleCase{"VCD", "", "E", "F", 0, {"Video CD (VCD)", false, ""}},
        // Nothing selected, or a name that is not a media type: nothing changes.
        RuleCase{"", "WMP", "E", "F", 0, {kKeep, kKeep, kKeep}},
        RuleCase{"mp3", "WMP", "E", "F", 0, {kKeep, kKeep, kKeep}}));

}  // namespace
}  // namespace tolvenmark
