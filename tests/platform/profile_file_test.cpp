#include "platform/profile_file.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

const std::string kFallback = "FALLBACK";

struct ReadCase {
    const char* what;
    std::string content;
    const char* section;
    const char* key;
    std::string expected;
    std::size_t bufferSize = 255;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.what; }

class ProfileReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReadTest, Reads) {
    const ReadCase& c = GetParam();
    TempDir dir;
    WriteFileBytes(dir.File("t.ini"), c.content);
    EXPECT_EQ(GetPrivateProfileString(c.section, c.key, kFallback, c.bufferSize, dir.File("t.ini")),
              c.expected);
    // A file read once answers the same.
    EXPECT_EQ(ProfileSnapshot::Load(dir.File("t.ini")).Get(c.section, c.key, kFallback, c.bufferSize),
              c.expected);
}

std::string Repeat(const std::string& text, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) out += text;
    return out;
}

const std::string kEuro = "\xE2\x82\xAC";
const std::string kSmile = "\xF0\x9F\x98\x80";

INSTANTIATE_TEST_SUITE_P(
    Lines, ProfileReadTest,
    ::testing::Values(
        ReadCase{"plain", "[ALARM]\nSKIN=Default\n", "ALARM", "SKIN", "Default"},
        ReadCase{"names ignore case", "[alarm]\nSkin=x\n", "ALARM", "sKIN", "x"},
        ReadCase{"first key wins", "[A]\nk=1\nk=2\n", "A", "k", "1"},
        ReadCase{"first section wins", "[A]\nk=1\n[A]\nk=2\n", "A", "k", "1"},
        ReadCase{"later duplicate section is not searched", "[A]\nx=1\n[A]\nk=2\n", "A", "k", kFallback},
        ReadCase{"key of another section", "[B]\nk=1\n[A]\nj=2\n", "A", "k", kFallback},
        ReadCase{"key before any section", "k=1\n[A]\n", "A", "k", kFallback},
        ReadCase{"missing section", "[B]\nk=1\n", "A", "k", kFallback},
        ReadCase{"empty file", "", "A", "k", kFallback},
        ReadCase{"blanks around names and value", "  [ A ]  \n \t k \t=  v a l \t\n", "A", "k", "v a l"},
        ReadCase{"split at the first =", "[A]\nk = a=b\n", "A", "k", "a=b"},
        ReadCase{"empty value is not missing", "[A]\nk=\n", "A", "k", ""},
        ReadCase{"double quotes", "[A]\nk=\" spaced \"\n", "A", "k", " spaced "},
        ReadCase{"single quotes", "[A]\nk='x'\n", "A", "k", "x"},
        ReadCase{"empty quotes", "[A]\nk=\"\"\n", "A", "k", ""},
        ReadCase{"mixed quotes stay", "[A]\nk=\"x'\n", "A", "k", "\"x'"},
        ReadCase{"lone quote stays", "[A]\nk=\"\n", "A", "k", "\""},
        ReadCase{"inner quotes stay", "[A]\nk=say \"hi\"\n", "A", "k", "say \"hi\""},
        ReadCase{"comment line", "[A]\n;k=1\n k=2\n", "A", "k", "2"},
        ReadCase{"commented key only", "[A]\n ; k=1\n", "A", "k", kFallback},
        ReadCase{"unknown lines", "[A]\ngarbage line\n[broken\nk=v\n", "A", "k", "v"},
        ReadCase{"CRLF", "[A]\r\nk=v\r\nj=w\r\n", "A", "j", "w"},
        ReadCase{"mixed line ends", "[A]\r\nk=v\nj=w\r\n", "A", "k", "v"},
        ReadCase{"no final line end", "[A]\nk=v", "A", "k", "v"},
        ReadCase{"stray CR at the end", "[A]\nk=v\r", "A", "k", "v"},
        ReadCase{"CR line ends", "[S]\rk=v\r", "S", "k", "v"},
        ReadCase{"CR line ends, second key", "[S]\rk=v\rj=w", "S", "j", "w"},
        ReadCase{"CR CR LF is two line ends", "[S]\r\r\nk=v\r\n", "S", "k", "v"},
        ReadCase{"CR ends a value", "[S]\nk=v\rw=x\n", "S", "w", "x"},
        ReadCase{"text after the section name", "[A] ; note\nk=v\n", "A", "k", "v"},
        ReadCase{"byte order mark", "\xEF\xBB\xBF[A]\nk=v\n", "A", "k", "v"},
        ReadCase{"NUL ends the value", std::string("[A]\nk=ab\0cd\n", 12), "A", "k", "ab"},
        ReadCase{"NUL elsewhere", std::string("[B]\n\0\xFF\xFE=\n[A]\nk=v\n", 17), "A", "k", "v"},
        // Values are cut to the buffer, never inside a UTF-8 character.
        ReadCase{"300 bytes in 255", "[A]\nk=" + Repeat("a", 300) + "\n", "A", "k", Repeat("a", 254)},
        ReadCase{"254 bytes fit", "[A]\nk=" + Repeat("a", 254) + "\n", "A", "k", Repeat("a", 254)},
        ReadCase{"253 bytes fit", "[A]\nk=" + Repeat("a", 253) + "\n", "A", "k", Repeat("a", 253)},
        ReadCase{"255 bytes cut to 254", "[A]\nk=" + Repeat("a", 255) + "\n", "A", "k", Repeat("a", 254)},
        ReadCase{"2047 bytes fit in 2048", "[A]\nk=" + Repeat("b", 2047) + "\n", "A", "k", Repeat("b", 2047), 2048},
        ReadCase{"2048 bytes cut in 2048", "[A]\nk=" + Repeat("b", 2048) + "\n", "A", "k", Repeat("b", 2047), 2048},
        ReadCase{"3000 bytes in 2048", "[A]\nk=" + Repeat("b", 3000) + "\n", "A", "k", Repeat("b", 2047), 2048},
        ReadCase{"2-byte char at the cut", "[A]\nk=" + Repeat("a", 253) + "\xC3\xA9z\n", "A", "k", Repeat("a", 253)},
        ReadCase{"2-byte char just fits", "[A]\nk=" + Repeat("a", 252) + "\xC3\xA9z\n", "A", "k", Repeat("a", 252) + "\xC3\xA9"},
        ReadCase{"3-byte char at the cut", "[A]\nk=" + Repeat("a", 252) + kEuro + "\n", "A", "k", Repeat("a", 252)},
        ReadCase{"4-byte chars at the cut", "[A]\nk=" + Repeat(kSmile, 600) + "\n", "A", "k", Repeat(kSmile, 511), 2048},
        ReadCase{"3-byte chars in 2048", "[A]\nk=" + Repeat(kEuro, 700) + "\n", "A", "k", Repeat(kEuro, 682), 2048},
        ReadCase{"stray continuation bytes are cut plainly", "[A]\nk=" + Repeat("\x80", 300) + "\n", "A", "k", Repeat("\x80", 254)},
        ReadCase{"buffer of one", "[A]\nk=v\n", "A", "k", "", 1},
        ReadCase{"buffer of none", "[A]\nk=v\n", "A", "k", "", 0}));

TEST(ProfileReadTest, MissingFileGivesTheFallbackCutToTheBuffer) {
    TempDir dir;
    EXPECT_EQ(GetPrivateProfileString("A", "k", "dflt", 255, dir.File("none.ini")), "dflt");
    EXPECT_EQ(GetPrivateProfileString("A", "k", Repeat("x", 300), 255, dir.File("none.ini")),
              Repeat("x", 254));
    // A folder where the file should be reads as missing.
    EXPECT_EQ(GetPrivateProfileString("A", "k", "dflt", 255, dir.path()), "dflt");
}

struct DefaultCase {
    const char* fallback;
    const char* expected;
};

class ProfileDefaultTest : public ::testing::TestWithParam<DefaultCase> {};

// Missing key, missing section and missing file alike.
TEST_P(ProfileDefaultTest, LosesItsTrailingBlanks) {
    TempDir dir;
    WriteFileBytes(dir.File("t.ini"), "[A]\nk=v\n");
    for (const auto& [section, file] : {std::pair{"A", "t.ini"}, std::pair{"B", "t.ini"}, std::pair{"A", "none.ini"}}) {
        EXPECT_EQ(GetPrivateProfileString(section, "j", GetParam().fallback, 255, dir.File(file)),
                  GetParam().expected);
        EXPECT_EQ(ProfileSnapshot::Load(dir.File(file)).Get(section, "j", GetParam().fallback, 255),
                  GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Defaults, ProfileDefaultTest,
                         ::testing::Values(DefaultCase{"  dflt  ", "  dflt"}, DefaultCase{"   ", ""},
                                           DefaultCase{"a b\t", "a b"}, DefaultCase{"", ""},
                                           DefaultCase{"x", "x"}));

struct WriteCase {
    const char* what;
    std::optional<std::string> before;  // empty: no file
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.what; }

class ProfileWriteTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWriteTest, Writes) {
    const WriteCase& c = GetParam();
    TempDir dir;
    const std::string file = dir.File("t.ini");
    if (c.before) WriteFileBytes(file, *c.before);
    ASSERT_TRUE(WritePrivateProfileString(c.section, c.key, c.value, file));
    EXPECT_EQ(ReadFileBytes(file), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ProfileWriteTest,
    ::testing::Values(
        WriteCase{"in place, the file's spelling stays", "[ALARM]\nSKIN=a\nX=1\n", "alarm", "skin", "b",
                  "[ALARM]\nSKIN=b\nX=1\n"},
        WriteCase{"in place, mixed-case spelling stays", "[Alarm]\nMinute=30\n", "ALARM", "MINUTE", "45",
                  "[Alarm]\nMinute=45\n"},
        WriteCase{"in place, CR line ends", "[S]\rk=v\r", "S", "k", "w", "[S]\rk=w\r"},
        WriteCase{"new key, CR line ends", "[S]\rk=v\r", "S", "j", "2", "[S]\rk=v\rj=2\r"},
        WriteCase{"new section, CR line ends", "[S]\rk=v", "T", "j", "2", "[S]\rk=v\r[T]\rj=2\r"},
        WriteCase{"in place keeps CRLF", "[A]\r\nk=1\r\nj=2\r\n", "A", "k", "9", "[A]\r\nk=9\r\nj=2\r\n"},
        WriteCase{"only the first of two keys", "[A]\nk=1\nk=2\n", "A", "K", "3", "[A]\nk=3\nk=2\n"},
        WriteCase{"only the first of two sections", "[A]\nk=1\n[A]\nk=2\n", "A", "k", "3",
                  "[A]\nk=3\n[A]\nk=2\n"},
        WriteCase{"after the section's last line", "[A]\nk=1\n\n[B]\nx=1\n", "A", "j", "2",
                  "[A]\nk=1\nj=2\n\n[B]\nx=1\n"},
        WriteCase{"after the section's last line, CRLF", "[A]\r\nk=1\r\n\r\n[B]\r\n", "A", "j", "2",
                  "[A]\r\nk=1\r\nj=2\r\n\r\n[B]\r\n"},
        WriteCase{"into an empty section", "[A]\n[B]\n", "A", "j", "2", "[A]\nj=2\n[B]\n"},
        WriteCase{"after a closing comment", "[A]\nk=1\n; end of A\n\n", "A", "j", "2",
                  "[A]\nk=1\n; end of A\nj=2\n\n"},
        WriteCase{"section at the end without line end", "[A]\nk=1", "A", "j", "2", "[A]\nk=1\nj=2\n"},
        WriteCase{"stray CR at the end ends the line", "[A]\nk=1\r", "A", "j", "2", "[A]\nk=1\rj=2\n"},
        WriteCase{"new section", "[A]\nk=1\n", "B", "x", "1", "[A]\nk=1\n[B]\nx=1\n"},
        WriteCase{"new section, CRLF", "[A]\r\nk=1\r\n", "B", "x", "1", "[A]\r\nk=1\r\n[B]\r\nx=1\r\n"},
        WriteCase{"new section after a last line without end", "[A]\nk=1", "B", "x", "1",
                  "[A]\nk=1\n[B]\nx=1\n"},
        WriteCase{"missing file is created", std::nullopt, "ALARM", "VERSION", "1.1",
                  "[ALARM]\nVERSION=1.1\n"},
        WriteCase{"empty file", "", "A", "k", "v", "[A]\nk=v\n"},
        WriteCase{"comments and unknown lines survive", "; top\n[A]\n; note\nodd line\nk=1\n", "A", "k",
                  "2", "; top\n[A]\n; note\nodd line\nk=2\n"},
        WriteCase{"line breaks in a value become blanks", "[A]\n", "A", "k", "a\r\nb\nc",
                  "[A]\nk=a  b c\n"},
        WriteCase{"empty value", "[A]\nk=1\n", "A", "k", "", "[A]\nk=\n"},
        WriteCase{"byte order mark stays", "\xEF\xBB\xBF[A]\nk=1\n", "A", "k", "2",
                  "\xEF\xBB\xBF[A]\nk=2\n"}));

TEST(ProfileWriteTest, WhatIsWrittenReadsBack) {
    TempDir dir;
    const std::string file = dir.File("t.ini");
    const std::string values[] = {"plain", "  padded  ", "a=b", "\"quoted\"", "", "x;y", "\xC3\xA9t\xC3\xA9"};
    for (const std::string& value : values) {
        SCOPED_TRACE(value);
        ASSERT_TRUE(WritePrivateProfileString("ALARM", "K", value, file));
        std::string expected = value;
        if (value == "  padded  ") expected = "padded";
        if (value == "\"quoted\"") expected = "quoted";
        EXPECT_EQ(GetPrivateProfileString("ALARM", "K", "?", 255, file), expected);
    }
    EXPECT_EQ(ReadFileBytes(file), "[ALARM]\nK=\xC3\xA9t\xC3\xA9\n");
}

TEST(ProfileWriteTest, RefusesNamesThatWouldBreakTheFile) {
    TempDir dir;
    const std::string file = dir.File("t.ini");
    const std::string before = "[A]\r\nk=1\r\n";
    WriteFileBytes(file, before);
    const std::pair<const char*, const char*> bad[] = {
        {"", "k"},      {"A", ""},      {" ", "k"},     {"A", "\t"},   {"A", "k=x"},
        {"A]", "k"},    {"[A", "k"},    {"A", "k[1]"},  {"A\n", "k"},  {"A", "k\r"},
        {"A", ";k"},    {"A", " ;k"}};
    for (const auto& [section, key] : bad) {
        SCOPED_TRACE(std::string(section) + "/" + key);
        EXPECT_FALSE(WritePrivateProfileString(section, key, "v", file));
    }
    EXPECT_EQ(ReadFileBytes(file), before);
    EXPECT_FALSE(WritePrivateProfileString("A", std::string("k\0x", 3), "v", file));
    EXPECT_EQ(ReadFileBytes(file), before);
}

TEST(ProfileWriteTest, KeepsPermissionsAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string file = dir.File("t.ini");
    WriteFileBytes(file, "[A]\nk=1\n");
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    ASSERT_TRUE(WritePrivateProfileString("A", "k", "2", file));
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(ProfileWriteTest, ReadOnlyFolderLeavesTheFileAlone) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    TempDir dir;
    const std::string file = dir.File("t.ini");
    const std::string before = "[A]\nk=1\n";
    WriteFileBytes(file, before);
    ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
    EXPECT_FALSE(WritePrivateProfileString("A", "k", "2", file));
    chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(ReadFileBytes(file), before);
}

// A write that fails half-way (here: the file size limit) must leave the old
// file whole; this holds for root as well.
TEST(ProfileWriteTest, FailedWriteLeavesTheFileByteIdentical) {
    TempDir dir;
    const std::string file = dir.File("t.ini");
    const std::string before = "[A]\r\nk=1\r\n; keep me\r\n";
    WriteFileBytes(file, before);
    bool written = true;
    {
        testing::ScopedFileSizeLimit limit(4096);
        written = WritePrivateProfileString("A", "k", std::string(10000, 'x'), file);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFileBytes(file), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(ProfileWriteTest, UnreadableTargetIsNotOverwritten) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("t.ini"));
    EXPECT_FALSE(WritePrivateProfileString("A", "k", "v", dir.File("t.ini")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("t.ini")));
    EXPECT_FALSE(WritePrivateProfileString("A", "k", "v", dir.File("no/such/t.ini")));
}

}  // namespace
}  // namespace tolvenmark
