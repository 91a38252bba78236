#include "skin/skin_pack.h"

#include <algorithm>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "skin/packed_skin.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Bytes(std::size_t size, int seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + seed) ^ (i >> 7));
    return bytes;
}

const char* const kIni =
    "[Version]\r\nVer=217\r\n[BITMAPINFO]\r\nMaskBitmap=mask.bmp\r\nMouseUpBitmap=Face.JPG\r\n"
    "NumbersBitmap=digits.bmp\r\n[TRACKBARINFO]\r\nCount=1\r\n1=VOL, thumb.bmp, thumb.bmp, 1, 2, 30, H\r\n";

class SkinPackTest : public ::testing::Test {
public:
    void SetUp() override {
        fs::create_directory(folder_);
        Put("skin.ini", kIni);
        Put("mask.bmp", Bytes(70, 1));
        Put("face.jpg", Bytes(8192 * 3 + 5, 2));  // named "Face.JPG": found regardless of case
        Put("digits.bmp", "");
        Put("thumb.bmp", Bytes(300, 3));
    }
    void Put(const std::string& name, const std::string& bytes) { WriteFileBytes(folder_ + "/" + name, bytes); }

    testing::TempDir dir_;
    std::string folder_ = dir_.File("myskin");
    std::string out_ = dir_.File("My.skn");
};

TEST_F(SkinPackTest, PackedMembersUnpackByteForByteAndListInOrder) {
    const auto packed = PackSkinFolder(folder_, out_);
    ASSERT_TRUE(UnpackSkin(out_, dir_.File("unpacked")));
    EXPECT_EQ(FilesIn(dir_.File("unpacked")), FilesIn(folder_));
    for (const std::string& name : FilesIn(folder_))
        EXPECT_EQ(ReadFileBytes(dir_.File("unpacked/" + name)), ReadFileBytes(folder_ + "/" + name)) << name;

    const auto listed = ListPackedSkin(out_);
    ASSERT_EQ(listed.size(), 5u);
    EXPECT_EQ(listed[0].name, "skin.ini");  // the INI leads, the rest sorted
    for (std::size_t i = 0; i < listed.size(); ++i) {
        EXPECT_EQ(listed[i].name, packed[i].name);
        EXPECT_EQ(listed[i].size, fs::file_size(folder_ + "/" + listed[i].name)) << listed[i].name;
    }
    EXPECT_EQ(FilesIn(dir_.path()), (std::vector<std::string>{"My.skn", "myskin", "unpacked"}));
}

TEST_F(SkinPackTest, IniNamedAfterThePackedFileServesInsteadOfSkinIni) {
    fs::rename(folder_ + "/skin.ini", folder_ + "/MY.INI");
    EXPECT_EQ(PackSkinFolder(folder_, out_).front().name, "MY.INI");
    EXPECT_THROW(PackSkinFolder(folder_, dir_.File("Other.skn")), SkinPackError);
}

TEST_F(SkinPackTest, FailedWriteKeepsThePreviousPackedFileAndLeavesNoTemporary) {
    WriteFileBytes(out_, "previous");
    {
        testing::ScopedFileSizeLimit limit(10000);
        EXPECT_THROW(PackSkinFolder(folder_, out_), SkinPackError);
    }
    EXPECT_EQ(ReadFileBytes(out_), "previous");
    EXPECT_EQ(FilesIn(dir_.path()), (std::vector<std::string>{"My.skn", "myskin"}));
}

// Each refused folder: a clear reason, and no packed file written.
struct RefusedFolder {
    const char* name;
    std::function<void(SkinPackTest&, const std::string& folder)> spoil;
    const char* reason;
};

void PrintTo(const RefusedFolder& c, std::ostream* os) { *os << c.name; }

class RefusedFolderTest : public SkinPackTest, public ::testing::WithParamInterface<RefusedFolder> {};

TEST_P(RefusedFolderTest, SaysWhyWritesNothing) {
    GetParam().spoil(*this, folder_);
    try {
        PackSkinFolder(folder_, out_);
        FAIL() << "packed";
    } catch (const SkinPackError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().reason), std::string::npos) << error.what();
    }
    auto left = FilesIn(dir_.path());
    std::erase(left, "myskin");
    EXPECT_TRUE(left.empty()) << left.front();
}

void SetIni(SkinPackTest& t, const std::string& bitmapLines) {
    t.Put("skin.ini", "[Version]\r\nVer=217\r\n[BITMAPINFO]\r\n" + bitmapLines);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, RefusedFolderTest,
    ::testing::Values(
        RefusedFolder{"SubFolder", [](auto&, const std::string& f) { fs::create_directory(f + "/images"); },
                      "\"images\" in"},
        RefusedFolder{"MoreThan128Files",
                      [](auto& t, const std::string&) {
                          for (int i = 0; i < 124; ++i) t.Put("extra" + std::to_string(i) + ".bmp", "x");
                      },
                      "holds 129 files; a packed skin holds at most 128"},
        RefusedFolder{"IniNamesParentFolder", [](auto& t, const std::string&) { SetIni(t, "MaskBitmap=../mask.bmp\r\n"); },
                      "names \"../mask.bmp\" holds \"..\""},
        RefusedFolder{"IniNamesSubFolder", [](auto& t, const std::string&) { SetIni(t, "TextBitmap=img/text.bmp\r\n"); },
                      "names \"img/text.bmp\" names a folder"},
        RefusedFolder{"IniNamesWindowsFolder",
                      [](auto& t, const std::string&) { SetIni(t, "MouseOnBitmap=img\\on.bmp\r\n"); }, "names a folder"},
        RefusedFolder{"TrackBarThumbOutside",
                      [](auto& t, const std::string&) {
                          t.Put("skin.ini", "[BITMAPINFO]\r\nMaskBitmap=mask.bmp\r\n[TRACKBARINFO]\r\nCount=1\r\n"
                                            "1=VOL, thumb.bmp, ..\\x.bmp, 1, 2, 3, H\r\n");
                      },
                      "(track bar 1) names \"..\\x.bmp\""},
        RefusedFolder{"IniNamesMissingImage", [](auto& t, const std::string&) { SetIni(t, "MouseDownBitmap=gone.jpg\r\n"); },
                      "names \"gone.jpg\", which is not in"},
        RefusedFolder{"NoIniTheLoaderFinds",
                      [](auto&, const std::string& f) { fs::rename(f + "/skin.ini", f + "/other.ini"); },
                      "has neither skin.ini nor My.ini"},
        RefusedFolder{"NamesDifferOnlyInCase", [](auto& t, const std::string&) { t.Put("MASK.BMP", "x"); },
                      "differ only in letter case"},
        RefusedFolder{"NameOver64Bytes", [](auto& t, const std::string&) { t.Put(std::string(65, 'n'), "x"); },
                      "is longer than 64 bytes"},
        RefusedFolder{"NameWithControlCharacter", [](auto& t, const std::string&) { t.Put("a\tb.bmp", "x"); },
                      "holds a control character"},
        RefusedFolder{"FolderMissing", [](auto&, const std::string& f) { fs::remove_all(f); }, "is not a folder"}),
    [](const auto& info) { return std::string(info.param.name); });

// Packed files --list refuses: each would be refused by the loader too.
std::string Header(const std::vector<std::pair<std::string, std::uint32_t>>& members) {
    std::string b(kPackedHeaderSize, '\0');
    b.replace(0, 10, kPackedMagic, 10);
    b[kPackedCountOffset] = static_cast<char>(members.size());
    for (std::size_t i = 0; i < members.size(); ++i) {
        const std::size_t at = kPackedNamesOffset + i * kPackedNameSize;
        b[at] = static_cast<char>(members[i].first.size());
        b.replace(at + 1, members[i].first.size(), members[i].first);
        for (int k = 0; k < 4; ++k) b[kPackedSizesOffset + i * 4 + k] = static_cast<char>(members[i].second >> (8 * k));
    }
    return b;
}

struct RefusedFile {
    const char* name;
    std::function<std::string()> bytes;
    const char* reason;
};

void PrintTo(const RefusedFile& c, std::ostream* os) { *os << c.name; }

class RefusedListTest : public ::testing::TestWithParam<RefusedFile> {};

TEST_P(RefusedListTest, SaysWhy) {
    testing::TempDir dir;
    WriteFileBytes(dir.File("x.skn"), GetParam().bytes());
    try {
        ListPackedSkin(dir.File("x.skn"));
        FAIL() << "listed";
    } catch (const SkinPackError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().reason), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedListTest,
    ::testing::Values(
        RefusedFile{"PlainIni", [] { return std::string("[VERSION]\r\nVer=217\r\n"); }, "is not a packed skin"},
        RefusedFile{"TruncatedHeader", [] { return Header({}).substr(0, 500); }, "ends inside its header"},
        RefusedFile{"Count129",
                    [] {
                        std::string b = Header({{"a.ini", 0}});
                        b[kPackedCountOffset] = static_cast<char>(129);
                        return b;
                    },
                    "announces 129 members"},
        RefusedFile{"ParentFolder", [] { return Header({{"../evil.ini", 0}}); }, "holds \"..\""},
        RefusedFile{"MembersOverWhatASkinMayUnpackTo",
                    [] { return Header({{"a.ini", 150u << 20}, {"b.bmp", 150u << 20}}); },
                    "announces 314572800 bytes of members; a skin may unpack to 268435456 at most"},
        RefusedFile{"AbsolutePath", [] { return Header({{"/etc/evil", 0}}); }, "names a folder"},
        RefusedFile{"NameLength65",
                    [] {
                        std::string b = Header({{"a.ini", 0}});
                        b[kPackedNamesOffset] = 65;
                        return b;
                    },
                    "name length 65"},
        RefusedFile{"SizesPastTheEnd", [] { return Header({{"a.ini", 3}, {"b.bmp", 4}}) + "abcdef"; },
                    "need 7 bytes, it holds 6"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tolvenmark
