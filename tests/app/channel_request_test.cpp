#include <gtest/gtest.h>

#include "app/channel_buffer.h"
#include "app/channel_request.h"
#include "app/control_options.h"

namespace tolvenmark {
namespace {

struct LineCase {
    std::string line;
    bool taken;
};

class ChannelLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ChannelLineTest, TakenOrRefused) {
    const ParsedRequest parsed = ParseChannelLine(GetParam().line);
    EXPECT_EQ(parsed.request.has_value(), GetParam().taken) << parsed.refusal;
    if (parsed.request) EXPECT_EQ(FormatChannelRequest(*parsed.request), GetParam().line);
    else EXPECT_FALSE(parsed.refusal.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ChannelLineTest,
    ::testing::Values(LineCase{"SHOW", true}, LineCase{"SNOOZE", true}, LineCase{"ALARM-ON", true},
                      LineCase{"ALARM-OFF", true}, LineCase{"QUIT", true}, LineCase{"STATUS", true},
                      LineCase{"SET-ALARM\t1/2/2027\t7:00\tWake up", true},
                      LineCase{"SET-ALARM\t1/2/2027\t7:00", true},
                      LineCase{"SET-ALARM\t1/2/2027\t7:00\t", true},  // an empty header is a header
                      LineCase{"", false}, LineCase{"show", false}, LineCase{"SHOW ", false},
                      LineCase{"SHOW\t", false}, LineCase{"SHOW\r", false}, LineCase{"EXIT", false},
                      LineCase{"SET-ALARM", false}, LineCase{"SET-ALARM\t1/2/2027", false},
                      LineCase{"SET-ALARM\t\t7:00", false}, LineCase{"SET-ALARM\t1/2/2027\t", false},
                      LineCase{"SET-ALARM\ta\tb\tc\td", false},
                      LineCase{std::string("SET-ALARM\t1/2/2027\t7:00\tA\0B", 27), false},
                      LineCase{"SET-ALARM\t1/2/2027\t7:00\t\x1b[2J", false},
                      LineCase{"SET-ALARM\t1/2/2027\t7:00\t" + std::string(kMaxRequestLine, 'x'), false}));

// A request line of at most kMaxRequestLine bytes, its end not counted: the
// parser, the clock's buffer (fed as much as it has room for) and the
// command line all draw the line at the same byte.
class RequestLineLimitTest : public ::testing::TestWithParam<int> {};

TEST_P(RequestLineLimitTest, TakenUpToTheLimit) {
    const std::size_t length = kMaxRequestLine + GetParam();
    const bool taken = length <= kMaxRequestLine;
    const std::string prefix = "SET-ALARM\t1/2/2027\t7:00\t";
    const std::string line = prefix + std::string(length - prefix.size(), 'x');
    EXPECT_EQ(ParseChannelLine(line).request.has_value(), taken);

    ChannelBuffer buffer;
    const std::string sent = line + "\n";
    bool received = true;
    for (std::size_t at = 0; received && at < sent.size();) {
        const std::size_t n = std::min(buffer.Room(), sent.size() - at);
        ASSERT_GT(n, 0u);
        received = buffer.Receive(std::string_view(sent).substr(at, n));
        at += n;
    }
    EXPECT_EQ(received, taken);
    if (taken) {
        EXPECT_EQ(buffer.TakeLine(), line);
    }

    const ControlOptions options = ParseControlOptions({"--set-alarm", "1/2/2027", "7:00", line.substr(prefix.size())});
    EXPECT_EQ(options.kind, taken ? ControlOptions::Kind::Request : ControlOptions::Kind::Usage);
}

INSTANTIATE_TEST_SUITE_P(UnderAtOver, RequestLineLimitTest, ::testing::Values(-1, 0, 1));

// Bytes as a socket may cut them: whole lines come out in order, and
// nothing more is taken while one waits.
struct BufferCase {
    std::vector<std::string> chunks;
    std::vector<std::string> lines;
};

class ChannelBufferTest : public ::testing::TestWithParam<BufferCase> {};

TEST_P(ChannelBufferTest, WholeLinesInOrder) {
    ChannelBuffer buffer;
    std::vector<std::string> lines;
    for (const std::string& chunk : GetParam().chunks) {
        ASSERT_LE(chunk.size(), buffer.Room());
        ASSERT_TRUE(buffer.Receive(chunk));
        if (chunk.find('\n') != std::string::npos) {
            EXPECT_EQ(buffer.Room(), 0u);
        }
        while (auto line = buffer.TakeLine()) lines.push_back(*line);
    }
    EXPECT_EQ(lines, GetParam().lines);
    EXPECT_GT(buffer.Room(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Chunks, ChannelBufferTest,
    ::testing::Values(BufferCase{{"SH", "O", "W\n"}, {"SHOW"}}, BufferCase{{"SNOOZE\r\n"}, {"SNOOZE"}},
                      BufferCase{{"SNOOZE\r", "\n"}, {"SNOOZE"}}, BufferCase{{"SHOW\nQUIT\nST"}, {"SHOW", "QUIT"}},
                      BufferCase{{"\n", "A\rB\n"}, {"", "A\rB"}}, BufferCase{{"STATUS"}, {}}));

TEST(StatusLinesTest, AHeaderCannotAddLines) {
    const auto lines = FormatStatusLines({"Wake\nalarm=off", "1/2/2027", "7:00:00 AM", true, false, ""});
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "header=Wake alarm=off");
    EXPECT_EQ(lines[3], "alarm=on");
    EXPECT_EQ(lines[4], "player=stopped");
}

struct OptionsCase {
    std::vector<std::string> args;
    ControlOptions::Kind kind;
    std::string line;  // the request sent, for Kind::Request; the skin, for Kind::ShowSkin
};

class ControlOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(ControlOptionsTest, Parse) {
    const ControlOptions options = ParseControlOptions(GetParam().args);
    EXPECT_EQ(options.kind, GetParam().kind);
    if (options.kind == ControlOptions::Kind::Request) {
        EXPECT_EQ(FormatChannelRequest(options.request), GetParam().line);
    }
    if (options.kind == ControlOptions::Kind::ShowSkin) {
        EXPECT_EQ(options.skinFile, GetParam().line);
    }
}

using Kind = ControlOptions::Kind;
INSTANTIATE_TEST_SUITE_P(
    Arguments, ControlOptionsTest,
    ::testing::Values(OptionsCase{{}, Kind::None, ""}, OptionsCase{{"--show-skin", "a.ini"}, Kind::ShowSkin, "a.ini"},
                      OptionsCase{{"--show-skin"}, Kind::ShowSkin, ""}, OptionsCase{{"--show-skin", "a", "b"}, Kind::Usage, ""},
                      OptionsCase{{"--status", "--help"}, Kind::Help, ""}, OptionsCase{{"--version"}, Kind::Version, ""},
                      OptionsCase{{"--bogus"}, Kind::Usage, ""}, OptionsCase{{"-x"}, Kind::Usage, ""},
                      OptionsCase{{"stray"}, Kind::Usage, ""}, OptionsCase{{"--status=1"}, Kind::Usage, ""},
                      OptionsCase{{"--set-alarm", "1/2/2027", "7:00", "Caf\xE9"}, Kind::Request,
                                  "SET-ALARM\t1/2/2027\t7:00\tCaf\xE9"},
                      OptionsCase{{"--show"}, Kind::Request, "SHOW"}, OptionsCase{{"--snooze"}, Kind::Request, "SNOOZE"},
                      OptionsCase{{"--alarm-on"}, Kind::Request, "ALARM-ON"},
                      OptionsCase{{"--alarm-off"}, Kind::Request, "ALARM-OFF"},
                      OptionsCase{{"--quit"}, Kind::Request, "QUIT"}, OptionsCase{{"--status"}, Kind::Request, "STATUS"},
                      OptionsCase{{"--set-alarm", "1/2/2027", "7:00 AM"}, Kind::Request, "SET-ALARM\t1/2/2027\t7:00 AM"},
                      OptionsCase{{"--set-alarm", "1/2/2027", "7:00", "Up"}, Kind::Request,
                                  "SET-ALARM\t1/2/2027\t7:00\tUp"},
                      OptionsCase{{"--status", "x"}, Kind::Usage, ""}, OptionsCase{{"--quit", "--status"}, Kind::Usage, ""},
                      OptionsCase{{"x", "--status"}, Kind::Usage, ""}, OptionsCase{{"--set-alarm"}, Kind::Usage, ""},
                      OptionsCase{{"--set-alarm", "1/2/2027"}, Kind::Usage, ""},
                      OptionsCase{{"--set-alarm", "", "7:00"}, Kind::Usage, ""},
                      OptionsCase{{"--set-alarm", "1/2/2027", "7:00", "a", "b"}, Kind::Usage, ""},
                      OptionsCase{{"--set-alarm", "1/2/2027", "7:00", "two\nlines"}, Kind::Usage, ""},
                      OptionsCase{{"--set-alarm", "1/2/2027", "7:00", "tab\there"}, Kind::Usage, ""},
                      OptionsCase{{"--set-alarm", "1/2/2027", "7:00", std::string(5000, 'x')}, Kind::Usage, ""}));

}  // namespace
}  // namespace tolvenmark
