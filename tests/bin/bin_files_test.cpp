#include "bin/bin_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

#include "bin/bin_line.h"
#include "platform/conversion_error.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

struct SplitCase {
    const char* line;
    BinFields fields;
    const char* proves;
};

class SplitBinLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitBinLineTest, GivesThreeFields) {
    SCOPED_TRACE(GetParam().proves);
    EXPECT_EQ(SplitBinLine(GetParam().line), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitBinLineTest,
    ::testing::Values(
        SplitCase{"Wake up^4/20/2003^7:30:00 AM^", {"Wake up", "4/20/2003", "7:30:00 AM"}, "plain entry"},
        SplitCase{"a^b^c^d^e^", {"a", "b", "c"}, "text after the third caret is dropped"},
        SplitCase{"^4/20/2003^7:30:00 AM^", {"", "4/20/2003", "7:30:00 AM"}, "empty header"},
        SplitCase{"C:/music/a.mp3^^^", {"C:/music/a.mp3", "", ""}, "media setting without a player"},
        SplitCase{"Wake^4/20/2003^7:30:00 AM", {"Wake", "4/20/2003", "7:30:00 AM"},
                  "a hand-edited line without its last caret keeps its time"},
        SplitCase{"Wake^4/20/2003", {"Wake", "4/20/2003", ""}, "one caret: the time is empty"},
        SplitCase{"just text", {"just text", "", ""}, "no caret at all"},
        SplitCase{"", {"", "", ""}, "empty line"}));

TEST(ReadBinLines, FollowsTheReaderRules) {
    struct Case {
        const char* content;
        std::vector<std::string> lines;
        const char* proves;
    } cases[] = {
        {"a^b^c^\r\nd^e^f^\r\n", {"a^b^c^", "d^e^f^"}, "CR LF lines"},
        {"a^\nb^\rc^", {"a^", "b^", "c^"}, "LF, CR and no end on the last line"},
        {"\r\n\r\n  \t a^\r\n\r\n\r\nb^\r\n  ", {"a^", "b^"}, "blank lines and leading blanks vanish"},
        {"a^\r\r\nb^", {"a^", "b^"}, "a CR skips one LF only; the stray CR is a blank"},
        {"a^\r\n\x1A" "b^\r\n", {"a^"}, "Ctrl-Z ends the file"},
        {"a^b\x1A" "c^\r\n", {"a^b"}, "Ctrl-Z inside a line ends the file there"},
        {"  \x1A a^", {}, "Ctrl-Z among leading blanks"},
        {"x\x01^\x7F^\xE9^", {"x\x01^\x7F^\xE9^"}, "other bytes belong to the line"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.proves);
        EXPECT_EQ(ReadBinLines(c.content), c.lines);
    }
}

class BinFilesTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string alarms = AlarmsPath(dir.path());
    std::string bin = StorageBinPath(dir.path());
};

TEST_F(BinFilesTest, MissingFilesAreEmptyBins) {
    EXPECT_TRUE(LoadSavedAlarms(alarms).empty());
    EXPECT_TRUE(LoadFileSettings(bin).empty());
}

TEST_F(BinFilesTest, LoadKeepsEveryLineInFileOrder) {
    WriteFileBytes(alarms,
                   "Wake up^4/20/2003^7:30:00 AM^\r\n"
                   "\r\n"
                   "   Spaced^4/21/2003^8:00:00 AM^\r\n"
                   "No date^^9:00:00 AM^\r\n"
                   "Five^4/22/2003^9:00:00 AM^extra^more^\r\n");
    const SavedAlarmList expected{{"Wake up", "4/20/2003", "7:30:00 AM"},
                                  {"Spaced", "4/21/2003", "8:00:00 AM"},
                                  {"No date", "", "9:00:00 AM"},
                                  {"Five", "4/22/2003", "9:00:00 AM"}};
    EXPECT_EQ(LoadSavedAlarms(alarms), expected);
}

TEST_F(BinFilesTest, RewriteDropsBlankKeysAndNormalisesLines) {
    WriteFileBytes(alarms,
                   "\r\nA^4/20/2003^7:30:00 AM^x^y^\r\n"
                   "No date^^9:00:00 AM^\r\n"
                   "^4/21/2003^8:00:00 AM^\n"
                   "Short^4/22/2003\r\n");
    RewriteSavedAlarms(alarms, LoadSavedAlarms(alarms));
    EXPECT_EQ(ReadFileBytes(alarms),
              "A^4/20/2003^7:30:00 AM^\r\n"
              "^4/21/2003^8:00:00 AM^\r\n"
              "Short^4/22/2003^^\r\n");

    WriteFileBytes(bin, "C:/a.mp3^^WMP^\r\n^^^\r\nHello^Text Message^MESSAGE^\r\n");
    RewriteFileSettings(bin, LoadFileSettings(bin));
    EXPECT_EQ(ReadFileBytes(bin), "C:/a.mp3^^WMP^\r\nHello^Text Message^MESSAGE^\r\n");
}

TEST_F(BinFilesTest, AppendWritesTheThreeShapes) {
    AppendFileSetting(bin, {"C:/music/a.mp3", "", ""});
    AppendFileSetting(bin, {"Get up", "Text Message", "MESSAGE"});
    AppendFileSetting(bin, {"net send pc hello", "Network Message", "NETMESS"});
    EXPECT_EQ(ReadFileBytes(bin),
              "C:/music/a.mp3^^^\r\n"
              "Get up^Text Message^MESSAGE^\r\n"
              "net send pc hello^Network Message^NETMESS^\r\n");
    AppendSavedAlarm(alarms, {"Wake up", "4/20/2003", "7:30:00 AM"});
    EXPECT_EQ(ReadFileBytes(alarms), "Wake up^4/20/2003^7:30:00 AM^\r\n");
}

TEST_F(BinFilesTest, AppendKeepsTheNewLineApartFromAnUnfinishedOrCutFile) {
    struct Case {
        const char* before;
        const char* after;
        const char* proves;
    } cases[] = {
        {"A^1/1/2003^7:00:00 AM^", "A^1/1/2003^7:00:00 AM^\r\nB^2/2/2003^8:00:00 AM^\r\n",
         "last line without a line end"},
        {"A^1/1/2003^7:00:00 AM^\r\n\x1A", "A^1/1/2003^7:00:00 AM^\r\nB^2/2/2003^8:00:00 AM^\r\n",
         "a trailing Ctrl-Z would hide the new line"},
        {"A^1/1/2003^7:00:00 AM^\x1A junk", "A^1/1/2003^7:00:00 AM^\r\nB^2/2/2003^8:00:00 AM^\r\n",
         "Ctrl-Z right after a line"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.proves);
        WriteFileBytes(alarms, c.before);
        AppendSavedAlarm(alarms, {"B", "2/2/2003", "8:00:00 AM"});
        EXPECT_EQ(ReadFileBytes(alarms), c.after);
        EXPECT_EQ(LoadSavedAlarms(alarms).size(), 2u);
    }
}

TEST_F(BinFilesTest, FieldsThatWouldNotReadBackAreRefusedAndNothingIsWritten) {
    const std::string before = "A^1/1/2003^7:00:00 AM^\r\n";
    const std::string fileBefore = "C:/a.mp3^^WMP^\r\n";
    struct Case {
        SavedAlarm alarm;
        FileSetting setting;
        const char* message;
    } cases[] = {
        {{"Get^up", "2/2/2003", "8:00:00 AM"}, {"a^b.mp3", "", "WMP"},
         "A caret (^) cannot be stored in the storage bin."},
        {{"Up", "2/2/2003^", "8:00:00 AM"}, {"a.mp3", "^", "WMP"},
         "A caret (^) cannot be stored in the storage bin."},
        {{"Up", "2/2/2003", "8:00:00 AM^"}, {"a.mp3", "", "WMP^"},
         "A caret (^) cannot be stored in the storage bin."},
        {{"Line\r\nbreak", "2/2/2003", "8:00:00 AM"}, {"two\nlines", "Text Message", "MESSAGE"},
         "A line break cannot be stored in the storage bin."},
        {{"Up\x1A", "2/2/2003", "8:00:00 AM"}, {"a.mp3\x1A", "", "WMP"},
         "A Ctrl-Z character cannot be stored in the storage bin."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        WriteFileBytes(alarms, before);
        WriteFileBytes(bin, fileBefore);
        auto expectRefused = [&](auto write) {
            try {
                write();
                ADD_FAILURE() << "not refused";
            } catch (const OperationError& e) {
                EXPECT_STREQ(e.what(), c.message);
            }
        };
        expectRefused([&] { AppendSavedAlarm(alarms, c.alarm); });
        expectRefused([&] { AppendSavedAlarms(alarms, {{"fine", "3/3/2003", "9:00:00 AM"}, c.alarm}); });
        expectRefused([&] { RewriteSavedAlarms(alarms, {{"fine", "3/3/2003", "9:00:00 AM"}, c.alarm}); });
        expectRefused([&] { AppendFileSetting(bin, c.setting); });
        expectRefused([&] { RewriteFileSettings(bin, {{"fine.mp3", "", ""}, c.setting}); });
        EXPECT_EQ(ReadFileBytes(alarms), before);
        EXPECT_EQ(ReadFileBytes(bin), fileBefore);
    }
    // A blank row is never written, so what it holds cannot corrupt the file.
    RewriteSavedAlarms(alarms, {{"x^y", "", "^"}});
    EXPECT_EQ(ReadFileBytes(alarms), "");
}

TEST_F(BinFilesTest, AnAppendTheDiskCannotHoldLeavesTheFileAsItWas) {
    struct Case {
        std::string before;
        std::function<void()> append;
        const char* proves;
    } cases[] = {
        {std::string(4080, 'x') + "^1/1/2027^7:00:00 AM^\r\n",
         [&] { AppendSavedAlarm(alarms, {"Wake", "12/24/2027", "11:30:00 AM"}); }, "a saved alarm"},
        {std::string(4080, 'x') + "^^WMP^", [&] { AppendFileSetting(alarms, {"C:/b.mp3", "", "WMP"}); },
         "a file setting after a last line without its end"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.proves);
        WriteFileBytes(alarms, c.before);
        try {
            testing::ScopedFileSizeLimit limit(c.before.size() + 8);
            c.append();
            ADD_FAILURE() << "the append succeeded";
        } catch (const OperationError& e) {
            EXPECT_STREQ(e.what(), "Disk full");
        }
        EXPECT_EQ(ReadFileBytes(alarms), c.before);
    }
}

TEST_F(BinFilesTest, ALineLongerThanAnyEntryRefusesTheFileNamingTheLine) {
    // 4096 bytes are a line, 4097 too long.
    const std::string fits = "A^1/1/2003^" + std::string(4096 - 11, '7') + "\r\n";
    WriteFileBytes(alarms, fits + "\r\n\n" + "B^" + std::string(100000, 'x') + "\rC^2/2/2003^8:00:00 AM^\r\n");
    WriteFileBytes(bin, "\n" + std::string(4097 - 3, 'x') + "^^^\r\n");
    const std::string after = "; the file was left as it is.";
    struct Case {
        std::function<void()> load;
        std::string message;
    } cases[] = {
        {[&] { LoadSavedAlarms(alarms); }, "Line 4 of the file : " + alarms + " is longer than 4096 characters" + after},
        {[&] { LoadBinLines(alarms); }, "Line 4 of the file : " + alarms + " is longer than 4096 characters" + after},
        {[&] { LoadFileSettings(bin); }, "Line 2 of the file : " + bin + " is longer than 4096 characters" + after},
    };
    for (const auto& c : cases) {
        try {
            c.load();
            ADD_FAILURE() << "loaded: " << c.message;
        } catch (const OperationError& e) {
            EXPECT_EQ(e.what(), c.message);
        }
    }
    std::vector<std::size_t> longLines;
    const SavedAlarmList cut = LoadSavedAlarms(alarms, longLines);
    EXPECT_EQ(longLines, std::vector<std::size_t>{4});
    ASSERT_EQ(cut.size(), 3u);
    EXPECT_EQ(cut[1].header, "B");
    EXPECT_EQ(cut[1].date.size(), 4094u);
    EXPECT_EQ(cut[2], (SavedAlarm{"C", "2/2/2003", "8:00:00 AM"}));
}

// A sparse file is refused by its size, unread and untouched, by every reader
// and by an append.
TEST_F(BinFilesTest, AFileLargerThanAnyListIsRefusedUnreadNamingTheFile) {
    for (const std::uint64_t size : {std::uint64_t{4} << 30, kMaxBinFileBytes + 1}) {
        WriteFileBytes(alarms, "A^1/1/2003^7:00:00 AM^\r\n");
        ASSERT_EQ(::truncate(alarms.c_str(), static_cast<off_t>(size)), 0);
        for (const auto& load : std::vector<std::function<void()>>{
                 [&] { LoadSavedAlarms(alarms); }, [&] { LoadBinLines(alarms); },
                 [&] { AppendSavedAlarm(alarms, {"B", "2/2/2003", "8:00:00 AM"}); }}) {
            try {
                load();
                ADD_FAILURE() << "read a file of " << size << " bytes";
            } catch (const OperationError& e) {
                EXPECT_EQ(e.what(), "The file : " + alarms + " is larger than 64 MB and was not read; the file was left as it is.");
            }
        }
        struct stat st {};
        EXPECT_TRUE(::stat(alarms.c_str(), &st) == 0 && static_cast<std::uint64_t>(st.st_size) == size);
    }
}

TEST_F(BinFilesTest, DuplicatesCompareTextsExactly) {
    const SavedAlarmList list{{"One", "4/20/2003", "7:30:00 AM"}, {"Two", "4/21/2003", "8:00:00 AM"}};
    EXPECT_TRUE(IsDuplicateAlarm(list, "4/20/2003", "7:30:00 AM"));
    EXPECT_TRUE(IsDuplicateAlarm(list, "4/21/2003", "8:00:00 AM"));
    EXPECT_FALSE(IsDuplicateAlarm(list, "4/20/2003", "07:30:00 AM"));
    EXPECT_FALSE(IsDuplicateAlarm(list, "04/20/2003", "7:30:00 AM"));
    EXPECT_FALSE(IsDuplicateAlarm(list, "4/20/2003", "8:00:00 AM"));  // date and time of one entry

    const FileSettingList files{{"C:/a.mp3", "", "WMP"}};
    EXPECT_TRUE(IsDuplicateFileSetting(files, "C:/a.mp3"));
    EXPECT_FALSE(IsDuplicateFileSetting(files, "c:/a.mp3"));
}

TEST_F(BinFilesTest, MoreLinesThanTheOldTableHeldSurviveLoadAndRewrite) {
    SavedAlarmList many;
    for (int i = 0; i < 1500; ++i)
        many.push_back({"Alarm " + std::to_string(i), "5/" + std::to_string(i % 28 + 1) + "/2003", "7:00:00 AM"});
    RewriteSavedAlarms(alarms, many);
    const SavedAlarmList loaded = LoadSavedAlarms(alarms);
    EXPECT_EQ(loaded, many);
    RewriteSavedAlarms(alarms, loaded);
    EXPECT_EQ(LoadSavedAlarms(alarms), many);
}

TEST_F(BinFilesTest, UnwritableFolderGivesTheAccessMessageAndKeepsTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
    WriteFileBytes(alarms, "A^1/1/2003^7:00:00 AM^\r\n");
    ::chmod(alarms.c_str(), 0444);
    ::chmod(dir.path().c_str(), 0555);
    try {
        RewriteSavedAlarms(alarms, {{"B", "2/2/2003", "8:00:00 AM"}});
        ADD_FAILURE() << "rewrite succeeded";
    } catch (const OperationError& e) {
        EXPECT_STREQ(e.what(), "File access denied");
    }
    EXPECT_THROW(AppendSavedAlarm(alarms, {"B", "2/2/2003", "8:00:00 AM"}), OperationError);
    EXPECT_THROW(AppendFileSetting(bin, {"a.mp3", "", ""}), OperationError);
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(ReadFileBytes(alarms), "A^1/1/2003^7:00:00 AM^\r\n");
    EXPECT_FALSE(::access(bin.c_str(), F_OK) == 0);
}

TEST_F(BinFilesTest, ProgramFolderThatIsAFileFailsEveryWrite) {
    WriteFileBytes(dir.File("notafolder"), "x");
    const std::string badAlarms = AlarmsPath(dir.File("notafolder"));
    const std::string badBin = StorageBinPath(dir.File("notafolder"));
    EXPECT_TRUE(LoadSavedAlarms(badAlarms).empty());
    for (auto write : std::initializer_list<std::function<void()>>{
             [&] { RewriteSavedAlarms(badAlarms, {{"B", "2/2/2003", "8:00:00 AM"}}); },
             [&] { AppendSavedAlarm(badAlarms, {"B", "2/2/2003", "8:00:00 AM"}); },
             [&] { RewriteFileSettings(badBin, {{"a.mp3", "", ""}}); },
             [&] { AppendFileSetting(badBin, {"a.mp3", "", ""}); }}) {
        try {
            write();
            ADD_FAILURE() << "write succeeded";
        } catch (const OperationError& e) {
            EXPECT_STREQ(e.what(), "Invalid filename");
        }
    }
}

TEST_F(BinFilesTest, UnreadableFileIsAnErrorNotAnEmptyBin) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads anything";
    WriteFileBytes(alarms, "A^1/1/2003^7:00:00 AM^\r\n");
    ::chmod(alarms.c_str(), 0);
    EXPECT_THROW(LoadSavedAlarms(alarms), OperationError);
}

}  // namespace
}  // namespace tolvenmark
