#include "skin/packed_skin.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <utility>

#include <gtest/gtest.h>

#include "platform/conversion_error.h"
#include "skin/jpeg_codec.h"
#include "skin/skin_reader.h"
#include "skin/verify_skin.h"
#include "support/scripted_prompts.h"
#include "support/little_endian.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

namespace fs = std::filesystem;
using Members = std::vector<std::pair<std::string, std::string>>;

void PutLe32(std::string& bytes, std::size_t at, std::uint32_t value) { testing::PutLe(bytes, at, value, 4); }

// Packs members the way the skin packer lays them out.
std::string Pack(const Members& members) {
    std::string bytes(kPackedHeaderSize, '\0');
    bytes.replace(0, 10, kPackedMagic, 10);
    bytes[kPackedCountOffset] = static_cast<char>(members.size());
    for (std::size_t i = 0; i < members.size(); ++i) {
        const std::size_t entry = kPackedNamesOffset + i * kPackedNameSize;
        bytes[entry] = static_cast<char>(members[i].first.size());
        bytes.replace(entry + 1, members[i].first.size(), members[i].first);
        PutLe32(bytes, kPackedSizesOffset + i * 4, static_cast<std::uint32_t>(members[i].second.size()));
    }
    for (const auto& member : members) bytes += member.second;
    return bytes;
}

std::vector<std::string> FilesBelow(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class PackedSkinTest : public ::testing::Test {
protected:
    testing::TempDir dir_;
    std::string target_ = dir_.File("out");
};

TEST_F(PackedSkinTest, RoundTripRestoresEveryMemberByteForByte) {
    std::string big(8192 * 2 + 17, '\0');  // two whole blocks and a remainder
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 31);
    const Members members{{"skin.ini", "[VERSION]\r\nVer=217\r\n"}, {"face.jpg", big}, {"empty.bmp", ""}};
    testing::WriteFileBytes(dir_.File("my.skn"), Pack(members));

    ASSERT_TRUE(UnpackSkin(dir_.File("my.skn"), target_ + "/deeper"));  // missing folders are made
    for (const auto& [name, content] : members)
        EXPECT_EQ(testing::ReadFileBytes(target_ + "/deeper/" + name), content) << name;
    EXPECT_EQ(FilesBelow(target_).size(), 4u);  // the folder and three members
}

TEST_F(PackedSkinTest, MembersReplaceOldFilesAndLinksAreNotFollowed) {
    fs::create_directories(target_);
    testing::WriteFileBytes(dir_.File("outside.txt"), "keep me");
    fs::create_symlink(dir_.File("outside.txt"), target_ + "/skin.ini");
    testing::WriteFileBytes(dir_.File("my.skn"), Pack({{"skin.ini", "new"}}));
    ASSERT_TRUE(UnpackSkin(dir_.File("my.skn"), target_));
    EXPECT_EQ(testing::ReadFileBytes(dir_.File("outside.txt")), "keep me");
    EXPECT_FALSE(fs::is_symlink(target_ + "/skin.ini"));
    EXPECT_EQ(testing::ReadFileBytes(target_ + "/skin.ini"), "new");
}

// Each hostile file must be refused as a whole: no member is written, not
// even the sound ones before the fault.
struct HostilePackedCase {
    const char* name;
    std::function<std::string()> bytes;
};

class HostilePackedSkinTest : public PackedSkinTest, public ::testing::WithParamInterface<HostilePackedCase> {};

TEST_P(HostilePackedSkinTest, Refused) {
    testing::WriteFileBytes(dir_.File("bad.skn"), GetParam().bytes());
    EXPECT_FALSE(UnpackSkin(dir_.File("bad.skn"), target_));
    EXPECT_TRUE(FilesBelow(target_).empty());
    EXPECT_EQ(FilesBelow(dir_.path()).size(), 2u) << "something was written beside the target";
}

std::string WithName(const std::string& name) { return Pack({{"good.ini", "x"}, {name, "payload"}}); }

INSTANTIATE_TEST_SUITE_P(
    Headers, HostilePackedSkinTest,
    ::testing::Values(
        HostilePackedCase{"WrongMagicIsNoPackedSkin", [] {
                        std::string b = Pack({{"a.ini", "x"}});
                        b[1] = 't';
                        return b;
                    }},
        HostilePackedCase{"PlainIniText", [] { return std::string("[VERSION]\nVer=217\n"); }},
        HostilePackedCase{"EmptyFile", [] { return std::string(); }},
        HostilePackedCase{"MagicThenTruncatedHeader",
                    [] { return std::string(kPackedMagic, 10) + std::string(100, '\0'); }},
        HostilePackedCase{"CountAbove128", [] {
                        std::string b = Pack({{"a.ini", "x"}});
                        b[kPackedCountOffset] = static_cast<char>(129);
                        return b;
                    }},
        HostilePackedCase{"NameLengthAbove64", [] {
                        std::string b = Pack({{"a.ini", "x"}});
                        b[kPackedNamesOffset] = 65;
                        return b;
                    }},
        HostilePackedCase{"ParentDirectory", [] { return WithName("../escape.ini"); }},
        HostilePackedCase{"DotDot", [] { return WithName(".."); }},
        HostilePackedCase{"Dot", [] { return WithName("."); }},
        HostilePackedCase{"EmptyName", [] { return WithName(""); }},
        HostilePackedCase{"SubFolder", [] { return WithName("sub/face.bmp"); }},
        HostilePackedCase{"WindowsFolder", [] { return WithName("sub\\face.bmp"); }},
        HostilePackedCase{"AbsolutePath", [] { return WithName("/tmp/face.bmp"); }},
        HostilePackedCase{"DriveLetter", [] { return WithName("C:face.bmp"); }},
        HostilePackedCase{"ControlCharacter", [] { return WithName(std::string("fa\0ce.bmp", 9)); }},
        HostilePackedCase{"SizesPastTheEnd", [] {
                        std::string b = Pack({{"a.ini", "x"}, {"b.bmp", "yy"}});
                        b.pop_back();
                        return b;
                    }},
        HostilePackedCase{"HugeSizeEntry", [] {
                        std::string b = Pack({{"a.ini", "x"}});
                        PutLe32(b, kPackedSizesOffset, 0xFFFFFFFFu);
                        return b;
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PackedSkinTest, UnreadablePackedFileIsAnInputOutputError) {
    try {
        UnpackSkin(dir_.File("absent.skn"), target_);
        FAIL() << "no error";
    } catch (const OperationError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    fs::create_directory(dir_.File("folder.skn"));
    EXPECT_THROW(UnpackSkin(dir_.File("folder.skn"), target_), OperationError);
}

TEST_F(PackedSkinTest, TargetThatCannotBeMadeAnswersFalse) {
    testing::WriteFileBytes(dir_.File("my.skn"), Pack({{"a.ini", "x"}}));
    testing::WriteFileBytes(dir_.File("plainfile"), "");
    EXPECT_FALSE(UnpackSkin(dir_.File("my.skn"), dir_.File("plainfile") + "/sub"));
}

// Loading a packed skin through the reader, with the private temporary
// folder moved into the test's own folder.
class PackedSkinLoadTest : public PackedSkinTest {
protected:
    void SetUp() override {
        const char* old = std::getenv("TMPDIR");
        oldTmp_ = old ? old : "";
        hadTmp_ = old != nullptr;
        setenv("TMPDIR", dir_.File("tmp").c_str(), 1);
        fs::create_directory(dir_.File("tmp"));
        QImage face(20, 10, QImage::Format_RGB32);
        face.fill(Qt::black);
        const auto jpeg = EncodeJpeg(face);
        jpeg_.assign(jpeg.begin(), jpeg.end());
    }
    void TearDown() override {
        if (hadTmp_)
            setenv("TMPDIR", oldTmp_.c_str(), 1);
        else
            unsetenv("TMPDIR");
    }
    std::string Ini(const std::string& id) const {
        return "[Version]\nVer=217\n[BITMAPINFO]\nMaskBitmap=face.jpg\n[HOTAREAINFO]\nCount=1\n1=" + id +
               ", 1, 2, 3, 4, hint\n";
    }
    std::string jpeg_;
    std::string oldTmp_;
    bool hadTmp_ = false;
    testing::ScriptedPrompts prompts_;
};

TEST_F(PackedSkinLoadTest, IniNamedAfterThePackedFileWinsOverSkinIni) {
    testing::WriteFileBytes(dir_.File("Night.skn"),
                            Pack({{"skin.ini", Ini("FROM_SKIN_INI")}, {"Night.INI", Ini("FROM_NAMED")}, {"face.jpg", jpeg_}}));
    const Skin skin = BuildSkinFromFile(dir_.File("Night.skn"), Skin{}, prompts_);
    ASSERT_EQ(skin.HotAreas.size(), 1u);
    EXPECT_EQ(skin.HotAreas[0].ID, "FROM_NAMED");
    EXPECT_EQ(skin.MaskImage.size(), QSize(20, 10));
    EXPECT_TRUE(prompts_.shown.empty());
}

TEST_F(PackedSkinLoadTest, NamesThatDifferOnlyInCaseAreFound) {
    // Made where file names ignore case: the ini and the image are spelt otherwise.
    testing::WriteFileBytes(dir_.File("Night.skn"), Pack({{"night.ini", Ini("LOWER")}, {"FACE.JPG", jpeg_}}));
    const Skin skin = BuildSkinFromFile(dir_.File("Night.skn"), Skin{}, prompts_);
    ASSERT_EQ(skin.HotAreas.size(), 1u);
    EXPECT_EQ(skin.HotAreas[0].ID, "LOWER");
    EXPECT_EQ(skin.MaskImage.size(), QSize(20, 10));
}

TEST_F(PackedSkinLoadTest, WithoutNamedIniSkinIniIsRead) {
    testing::WriteFileBytes(dir_.File("Day.SKN"), Pack({{"skin.ini", Ini("FROM_SKIN_INI")}, {"face.jpg", jpeg_}}));
    const Skin skin = BuildSkinFromFile(dir_.File("Day.SKN"), Skin{}, prompts_);
    ASSERT_EQ(skin.HotAreas.size(), 1u);
    EXPECT_EQ(skin.HotAreas[0].ID, "FROM_SKIN_INI");
}

TEST_F(PackedSkinLoadTest, MembersOfAnEarlierPackedSkinNeverStandInForMissingOnes) {
    testing::WriteFileBytes(dir_.File("Full.skn"), Pack({{"skin.ini", Ini("FULL")}, {"face.jpg", jpeg_}}));
    ASSERT_EQ(BuildSkinFromFile(dir_.File("Full.skn"), Skin{}, prompts_).HotAreas[0].ID, "FULL");
    // No ini and no image of its own: it names no mask and fails, instead of
    // loading the first skin's leftovers.
    testing::WriteFileBytes(dir_.File("Bare.skn"), Pack({{"other.txt", "x"}}));
    EXPECT_THROW(BuildSkinFromFile(dir_.File("Bare.skn"), Skin{}, prompts_), OperationError);
    EXPECT_TRUE(FilesBelow(dir_.File("tmp")).size() <= 1u);  // the unpacked members are gone
}

TEST_F(PackedSkinLoadTest, SknWithoutMagicIsReadAsIniBesideItsImages) {
    testing::WriteFileBytes(dir_.File("plain.skn"), Ini("PLAIN"));
    testing::WriteFileBytes(dir_.File("face.jpg"), jpeg_);
    const Skin skin = BuildSkinFromFile(dir_.File("plain.skn"), Skin{}, prompts_);
    ASSERT_EQ(skin.HotAreas.size(), 1u);
    EXPECT_EQ(skin.HotAreas[0].ID, "PLAIN");
    EXPECT_TRUE(FilesBelow(dir_.File("tmp")).size() <= 1u);  // at most the private folder, empty
}

TEST_F(PackedSkinLoadTest, DamagedPackedSkinsStopTheLoadWithTheirName) {
    std::string hugeSize = Pack({{"skin.ini", Ini("X")}});
    PutLe32(hugeSize, kPackedSizesOffset, 0xFFFFFFFFu);
    const std::pair<const char*, std::string> cases[] = {
        {"traversal", Pack({{"skin.ini", Ini("X")}, {"../escape.jpg", jpeg_}})},
        {"huge size", hugeSize},
        {"truncated header", Pack({{"skin.ini", Ini("X")}}).substr(0, 100)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        testing::WriteFileBytes(dir_.File("bad.skn"), bytes);
        try {
            BuildSkinFromFile(dir_.File("bad.skn"), Skin{}, prompts_);
            ADD_FAILURE() << "loaded";
        } catch (const OperationError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "The packed skin " + dir_.File("bad.skn") + " is damaged and cannot be unpacked.");
        }
        EXPECT_TRUE(prompts_.shown.empty());
    }
}

// The check before a load looks at a packed skin's members, as the load
// reads them, and leaves nothing unpacked behind.
struct PackedCheckCase {
    const char* name;
    std::function<std::string(const std::string& ini, const std::string& jpeg)> bytes;
    bool missing;
};

class PackedSkinCheckTest : public PackedSkinLoadTest, public ::testing::WithParamInterface<PackedCheckCase> {};

TEST_P(PackedSkinCheckTest, Members) {
    testing::WriteFileBytes(dir_.File("Night.skn"), GetParam().bytes(Ini("ID"), jpeg_));
    bool missing = false;
    VerifySkin(dir_.File("Night.skn"), missing);
    EXPECT_EQ(missing, GetParam().missing);
    EXPECT_TRUE(FilesBelow(dir_.File("tmp")).size() <= 1u) << "unpacked members were left behind";
    if (!missing) {
        EXPECT_NO_THROW(BuildSkinFromFile(dir_.File("Night.skn"), Skin{}, prompts_));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, PackedSkinCheckTest,
    ::testing::Values(
        PackedCheckCase{"Good", [](auto ini, auto jpeg) { return Pack({{"skin.ini", ini}, {"face.jpg", jpeg}}); },
                        false},
        PackedCheckCase{"NamedIniAndOtherCase",
                        [](auto ini, auto jpeg) { return Pack({{"NIGHT.ini", ini}, {"Face.JPG", jpeg}}); }, false},
        PackedCheckCase{"ImageNotPacked", [](auto ini, auto) { return Pack({{"skin.ini", ini}}); }, true},
        PackedCheckCase{"NoIniPacked", [](auto, auto jpeg) { return Pack({{"face.jpg", jpeg}}); }, true},
        PackedCheckCase{"Truncated",
                        [](auto ini, auto jpeg) {
                            std::string b = Pack({{"skin.ini", ini}, {"face.jpg", jpeg}});
                            b.pop_back();
                            return b;
                        },
                        true},
        PackedCheckCase{"MemberOutsideItsFolder",
                        [](auto ini, auto jpeg) { return Pack({{"skin.ini", ini}, {"../face.jpg", jpeg}}); }, true},
        PackedCheckCase{"HeaderCutShort",
                        [](auto ini, auto) { return Pack({{"skin.ini", ini}}).substr(0, 2000); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PackedSkinLoadTest, CheckOfAnUnreadableOrUnpackedSknFile) {
    bool missing = false;
    fs::create_directory(dir_.File("folder.skn"));
    VerifySkin(dir_.File("folder.skn"), missing);
    EXPECT_TRUE(missing);
    // Without the magic it is an INI beside its images, for the check as for the load.
    testing::WriteFileBytes(dir_.File("plain.skn"), Ini("PLAIN"));
    missing = false;
    VerifySkin(dir_.File("plain.skn"), missing);
    EXPECT_TRUE(missing);
    testing::WriteFileBytes(dir_.File("face.jpg"), jpeg_);
    missing = false;
    VerifySkin(dir_.File("plain.skn"), missing);
    EXPECT_FALSE(missing);
}

TEST_F(PackedSkinTest, MembersTogetherOverTheCapAreRefused) {
    std::string b = Pack({{"a.ini", "x"}, {"b.bmp", "y"}});
    PutLe32(b, kPackedSizesOffset + 4, static_cast<std::uint32_t>(kPackedMaxTotalBytes));
    testing::WriteFileBytes(dir_.File("big.skn"), b);
    fs::resize_file(dir_.File("big.skn"), kPackedHeaderSize + kPackedMaxTotalBytes + 1);  // sparse
    EXPECT_FALSE(UnpackSkin(dir_.File("big.skn"), target_));
    EXPECT_TRUE(FilesBelow(target_).empty());
}

}  // namespace
}  // namespace tolvenmark
