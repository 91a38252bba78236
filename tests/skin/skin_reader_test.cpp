#include "skin/skin_reader.h"

#include <filesystem>
#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/conversion_error.h"
#include "skin/skin_fields.h"
#include "skin/skin_limits.h"
#include "skin/verify_skin.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using ::testing::ElementsAre;

constexpr char kOlderNotice[] =
    "Information: The Skin File is an older version.\rPlease use Rira Zizivoz to update it.";

// A skin folder with small single-colour images: each face shows by its
// colour which file it came from.
class SkinReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        Image("mask.bmp", Qt::red, 40, 30);
        Image("up.bmp", Qt::green, 40, 30);
        Image("down.bmp", Qt::blue, 40, 30);
        Image("on.bmp", Qt::yellow, 40, 30);
        Image("thumb.bmp", Qt::cyan, 10, 6);
        Image("thumbdown.bmp", Qt::magenta, 12, 8);
    }

    void Image(const std::string& name, QColor colour, int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString(dir_.File(name)), "BMP"));
    }

    // A skin of version 217 with the given sections after its images.
    Skin Load(const std::string& body, const std::string& images = "MaskBitmap=mask.bmp\n",
              const Skin& previous = Skin{}) {
        testing::WriteFileBytes(dir_.File("skin.ini"), "[VERSION]\nVer=217\n[BITMAPINFO]\n" + images + body);
        return BuildSkinFromFile(dir_.File("skin.ini"), previous, prompts_);
    }

    std::string LoadError(const std::string& body, const std::string& images = "MaskBitmap=mask.bmp\n") {
        try {
            Load(body, images);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "(no error)";
    }

    testing::TempDir dir_;
    testing::ScriptedPrompts prompts_;
};

QColor ColourOf(const QImage& image) { return image.isNull() ? QColor() : image.pixelColor(0, 0); }

struct ChainCase {
    const char* name;
    std::string images;
    QColor up, down, on;
    bool distinctHover;
};

class FaceChainTest : public SkinReaderTest, public ::testing::WithParamInterface<ChainCase> {};

TEST_P(FaceChainTest, UnnamedReusePrevious) {
    const Skin skin = Load("", GetParam().images);
    EXPECT_EQ(ColourOf(skin.MaskImage), QColor(Qt::red));
    EXPECT_EQ(ColourOf(skin.UpImage), GetParam().up);
    EXPECT_EQ(ColourOf(skin.DownImage), GetParam().down);
    EXPECT_EQ(ColourOf(skin.OnImage), GetParam().on);
    EXPECT_EQ(skin.DistinctHover, GetParam().distinctHover);
}

INSTANTIATE_TEST_SUITE_P(
    Images, FaceChainTest,
    ::testing::Values(
        ChainCase{"MaskOnly", "MaskBitmap=mask.bmp\n", Qt::red, Qt::red, Qt::red, false},
        ChainCase{"UpOnly", "MaskBitmap=mask.bmp\nMouseUpBitmap=up.bmp\n", Qt::green, Qt::green, Qt::green, false},
        ChainCase{"HoverFromDown", "MaskBitmap=mask.bmp\nMouseUpBitmap=up.bmp\nMouseDownBitmap=down.bmp\n",
                  Qt::green, Qt::blue, Qt::blue, false},
        ChainCase{"AllFour",
                  "MaskBitmap=mask.bmp\nMouseUpBitmap=up.bmp\nMouseDownBitmap=down.bmp\nMouseOnBitmap=on.bmp\n",
                  Qt::green, Qt::blue, Qt::yellow, true},
        ChainCase{"HoverNamesDownFile",
                  "MaskBitmap=mask.bmp\nMouseUpBitmap=up.bmp\nMouseDownBitmap=down.bmp\nMouseOnBitmap=down.bmp\n",
                  Qt::green, Qt::blue, Qt::blue, false},
        // The comparison is on the names as written, not on the files.
        ChainCase{"SameFileOtherSpelling",
                  "MaskBitmap=mask.bmp\nMouseDownBitmap=down.bmp\nMouseOnBitmap=./down.bmp\n", Qt::red, Qt::blue,
                  Qt::blue, true},
        ChainCase{"KeysMatchWithoutCase", "maskbitmap=mask.bmp\nMOUSEUPBITMAP=up.bmp\n", Qt::green, Qt::green,
                  Qt::green, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SkinReaderTest, ImagesTheSkinDoesNotNameKeepTheirContent) {
    Skin previous;
    previous.NumbersImage = QImage(5, 5, QImage::Format_RGB32);
    previous.NumbersImage.fill(Qt::gray);
    previous.TextImage = previous.NumbersImage;
    const Skin skin = Load("", "MaskBitmap=mask.bmp\nNumbersBitmap=on.bmp\nTextBitmap=\n", previous);
    EXPECT_EQ(ColourOf(skin.NumbersImage), QColor(Qt::yellow));
    EXPECT_EQ(ColourOf(skin.TextImage), QColor(Qt::gray));
}

struct HotAreaCase {
    const char* name;
    std::string line;
    bool hasState, state;
    std::string group;
};

class HotAreaLineTest : public SkinReaderTest, public ::testing::WithParamInterface<HotAreaCase> {};

TEST_P(HotAreaLineTest, StateAndGroupFollowTheFieldCount) {
    const Skin skin = Load("[HOTAREAINFO]\nCount=1\n1=" + GetParam().line + "\n");
    ASSERT_EQ(skin.HotAreas.size(), 1u);
    const HotAreaInfoRec& area = skin.HotAreas[0];
    EXPECT_EQ(area.ID, "AL_OFFON");
    EXPECT_EQ(area.X, 13);
    EXPECT_EQ(area.Y, 182);
    EXPECT_EQ(area.Width, 210);
    EXPECT_EQ(area.Height, 45);
    EXPECT_EQ(area.Hint, "Alarm On/Off");
    EXPECT_EQ(area.HasState, GetParam().hasState);
    EXPECT_EQ(area.State, GetParam().state);
    EXPECT_EQ(area.Group, GetParam().group);
    EXPECT_FALSE(area.Hover);
    EXPECT_FALSE(area.Pressed);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HotAreaLineTest,
    ::testing::Values(
        HotAreaCase{"PlainButton", "AL_OFFON, 13, 182, 210, 45, Alarm On/Off", false, false, ""},
        HotAreaCase{"SwitchOff", "AL_OFFON, 13, 182, 210, 45, Alarm On/Off, FALSE", true, false, ""},
        HotAreaCase{"LowerCaseFalseIsOn", "AL_OFFON, 13, 182, 210, 45, Alarm On/Off, false", true, true, ""},
        HotAreaCase{"AnyOtherTextIsOn", "AL_OFFON, 13, 182, 210, 45, Alarm On/Off, \"\"", true, true, ""},
        HotAreaCase{"EightFieldsGroup", "AL_OFFON, 13, 182, 210, 45, Alarm On/Off, FALSE, radio", true, false,
                    "radio"},
        HotAreaCase{"NineFieldsNoGroup", "AL_OFFON, 13, 182, 210, 45, Alarm On/Off, FALSE, radio, extra", true,
                    false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SkinReaderTest, GroupsAreAppendedAndRememberTheirSwitchedOnMember) {
    Skin previous;
    previous.GroupNames = {"kept"};
    previous.GroupSelection = {"4"};
    const Skin skin = Load(
        "[HOTAREAINFO]\nCount=4\n"
        "1=R1, 0, 0, 5, 5, a, FALSE, radio\n"
        "2=R2, 5, 0, 5, 5, b, TRUE, radio\n"
        "3=B1, 0, 5, 5, 5, c, FALSE, other\n"
        "4=K1, 5, 5, 5, 5, d, TRUE, kept\n",
        "MaskBitmap=mask.bmp\n", previous);
    EXPECT_THAT(skin.GroupNames, ElementsAre("kept", "radio", "other"));
    EXPECT_THAT(skin.GroupSelection, ElementsAre("3", "1", "-1"));
}

TEST_F(SkinReaderTest, MissingNumberedLinesTakeTheDefaultLine) {
    const Skin skin = Load(
        "[HOTAREAINFO]\nCount=3\n3=C, 1, 1, 1, 1, c\n1=A, 1, 1, 1, 1, a\n"
        "[DISPLAYINFO]\nCount=2\n2=T, Arial, FALSE, FALSE, 9, 0, 1, 2\n"
        "[TRACKBARINFO]\nCount=0\n");
    ASSERT_EQ(skin.HotAreas.size(), 3u);
    EXPECT_EQ(skin.HotAreas[0].ID, "A");
    EXPECT_EQ(skin.HotAreas[2].ID, "C");
    const HotAreaInfoRec& gap = skin.HotAreas[1];
    EXPECT_EQ(gap.ID, "NOT_DEFINED");
    EXPECT_EQ(gap.X, 0);
    EXPECT_EQ(gap.Width, 0);
    EXPECT_EQ(gap.Height, 0);
    EXPECT_EQ(gap.Hint, "Hint");
    EXPECT_FALSE(gap.HasState);

    ASSERT_EQ(skin.DisplayItems.size(), 2u);
    EXPECT_EQ(skin.DisplayItems[0].ID, "NOT_DEFINED");
    EXPECT_EQ(skin.DisplayItems[0].Font.Name, "Arial");
    EXPECT_EQ(skin.DisplayItems[0].Font.Color, 0u);
    EXPECT_EQ(skin.DisplayItems[1].ID, "T");
}

struct DisplayCase {
    const char* name;
    std::string line;
    bool bold, italic;
    std::uint32_t colour;
    std::string style, text, hint;
    std::int32_t width, height;
};

class DisplayLineTest : public SkinReaderTest, public ::testing::WithParamInterface<DisplayCase> {};

TEST_P(DisplayLineTest, OptionalFieldsDefault) {
    const Skin skin = Load("[DISPLAYINFO]\nCount=1\n1=" + GetParam().line + "\n");
    ASSERT_EQ(skin.DisplayItems.size(), 1u);
    const DisplayInfoRec& item = skin.DisplayItems[0];
    EXPECT_EQ(item.ID, "TIME");
    EXPECT_EQ(item.Font.Name, "Lucida Fax");
    EXPECT_EQ(item.Font.Size, 80);
    EXPECT_EQ(item.X, 25);
    EXPECT_EQ(item.Y, 40);
    EXPECT_EQ(item.Font.Bold, GetParam().bold);
    EXPECT_EQ(item.Font.Italic, GetParam().italic);
    EXPECT_EQ(item.Font.Color, GetParam().colour);
    EXPECT_EQ(item.Style, GetParam().style);
    EXPECT_EQ(item.Text, GetParam().text);
    EXPECT_EQ(item.Hint, GetParam().hint);
    EXPECT_EQ(item.Width, GetParam().width);
    EXPECT_EQ(item.Height, GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DisplayLineTest,
    ::testing::Values(
        DisplayCase{"EightFieldsBoldRed", "TIME, Lucida Fax, TRUE, false, 80, 255, 25, 40", true, false, 255, "",
                    "", "", 0, 0},
        DisplayCase{"ItalicOnlyWhenExactlyTrue", "TIME, Lucida Fax, true, TRUE, 80, $00FF0000, 25, 40", false, true,
                    0x00FF0000u, "", "", "", 0, 0},
        DisplayCase{"StyleAndText", "TIME, Lucida Fax, FALSE, FALSE, 80, 0, 25, 40, Number, 12:05", false, false,
                    0, "Number", "12:05", "", 0, 0},
        DisplayCase{"TwelveFieldsStillNoBox",
                    "TIME, Lucida Fax, FALSE, FALSE, 80, 0, 25, 40, Normal, 00:00, tip, 300", false, false, 0,
                    "Normal", "00:00", "tip", 0, 0},
        DisplayCase{"FullLine", "TIME, Lucida Fax, FALSE, FALSE, 80, $000000FF, 25, 40, Normal, 00:00, , 300, 125",
                    false, false, 255, "Normal", "00:00", "", 300, 125},
        DisplayCase{"BoxFieldsNotNumbersGiveTen",
                    "TIME, Lucida Fax, FALSE, FALSE, 80, 0, 25, 40, Normal, 00:00, , wide, 1 2", false, false, 0,
                    "Normal", "00:00", "", 10, 10}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SkinReaderTest, DisplayFontsTakeTheSectionCharset) {
    Skin skin = Load("[DISPLAYINFO]\nCount=1\n1=A, Arial, FALSE, FALSE, 8, 0, 0, 0\nCharset=0x80\n");
    EXPECT_EQ(skin.Charset, 0x80);
    EXPECT_EQ(skin.DisplayItems[0].Font.Charset, 0x80);
    skin = Load("[DISPLAYINFO]\nCount=1\n1=A, Arial, FALSE, FALSE, 8, 0, 0, 0\n");
    EXPECT_EQ(skin.DisplayItems[0].Font.Charset, 1);
}

TEST_F(SkinReaderTest, TrackBarsMeasureTheirThumbAndPlaceIt) {
    const Skin skin = Load(
        "[TRACKBARINFO]\nCount=5\n"
        "1=VOL, thumb.bmp, thumbdown.bmp, 10, 20, 112, H, 50, Volume\n"
        "2=BAL, thumb.bmp, thumbdown.bmp, 1, 2, 88, V, 25\n"
        "3=FLAT, thumb.bmp, thumbdown.bmp, 0, 0, 12, H, 70\n"
        "4=SHORT, thumb.bmp, thumbdown.bmp, 0, 0, 3, H, 70\n"
        "5=WRAP, thumb.gif, thumb.gif, 0, 0, 200, h, 300\n");
    ASSERT_EQ(skin.TrackBars.size(), 5u);
    const TrackBarInfoRec& vol = skin.TrackBars[0];
    EXPECT_EQ(ColourOf(vol.ThumbBitmap), QColor(Qt::cyan));
    EXPECT_EQ(ColourOf(vol.ThumbDownBitmap), QColor(Qt::magenta));
    EXPECT_EQ(vol.ThumbWidth, 12);
    EXPECT_EQ(vol.ThumbHeight, 8);
    EXPECT_EQ(vol.X, 10);
    EXPECT_EQ(vol.Y, 20);
    EXPECT_TRUE(vol.Horizontal);
    EXPECT_EQ(vol.Position, 50);
    EXPECT_EQ(vol.Offset, 50);  // (112 - 12) * 50 / 100
    EXPECT_EQ(vol.Hint, "Volume");
    EXPECT_EQ(vol.MaxPosition, 100);

    EXPECT_FALSE(skin.TrackBars[1].Horizontal);
    EXPECT_EQ(skin.TrackBars[1].Offset, 20);  // (88 - 8) * 25 / 100, along the height
    EXPECT_EQ(skin.TrackBars[1].Hint, "");
    EXPECT_EQ(skin.TrackBars[2].Offset, 0);   // no room: no division by zero
    EXPECT_EQ(skin.TrackBars[3].Offset, 0);   // shorter than its thumb
    const TrackBarInfoRec& wrap = skin.TrackBars[4];
    EXPECT_TRUE(wrap.ThumbDownBitmap.isNull());  // GIF thumbs are skipped
    EXPECT_EQ(wrap.Position, 44);                // 300 kept in a byte
    EXPECT_EQ(wrap.Offset, 88);
}

struct FailureCase {
    const char* name;
    std::string body;
    std::string message;
};

class SkinFailureTest : public SkinReaderTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SkinFailureTest, StopsWithTheUsersMessage) { EXPECT_EQ(LoadError(GetParam().body), GetParam().message); }

INSTANTIATE_TEST_SUITE_P(
    Files, SkinFailureTest,
    ::testing::Values(
        FailureCase{"BlankBeforeCommaInNumber", "[HOTAREAINFO]\nCount=1\n1=EXIT, 462 , 6, 28, 17, Exit\n",
                    "'462 ' is not a valid integer value"},
        FailureCase{"HotAreaWithoutHint", "[HOTAREAINFO]\nCount=1\n1=EXIT, 462, 6, 28, 17\n",
                    "List index out of bounds (5)"},
        FailureCase{"DisplayWithoutY", "[DISPLAYINFO]\nCount=1\n1=T, Arial, FALSE, FALSE, 8, 0, 1\n",
                    "List index out of bounds (7)"},
        FailureCase{"DisplayColourNotANumber", "[DISPLAYINFO]\nCount=1\n1=T, Arial, FALSE, FALSE, 8, red, 1, 2\n",
                    "'red' is not a valid integer value"},
        FailureCase{"TrackBarWithoutOrientation", "[TRACKBARINFO]\nCount=1\n1=T, thumb.bmp, thumb.bmp, 1, 2, 3\n",
                    "List index out of bounds (6)"},
        FailureCase{"TrackBarBadPosition", "[TRACKBARINFO]\nCount=1\n1=T, thumb.bmp, thumb.bmp, 1, 2, 3, H, half\n",
                    "'half' is not a valid integer value"},
        // The default track-bar line names no image that can be read.
        FailureCase{"MissingTrackBarLine", "[TRACKBARINFO]\nCount=1\n", "Unknown picture file extension (.)"},
        FailureCase{"ThumbOfUnknownKind", "[TRACKBARINFO]\nCount=1\n1=T, thumb.png, thumb.bmp, 1, 2, 3, H\n",
                    "Unknown picture file extension (.png)"}),
    [](const auto& info) { return std::string(info.param.name); });

// However a skin spells or links one file, it is decoded once and its faces
// share the pixels; what a skin decodes in all is capped.
TEST_F(SkinReaderTest, OneFileUnderManyNamesIsDecodedOnce) {
    std::filesystem::create_symlink(dir_.File("up.bmp"), dir_.File("alias.bmp"));
    const Skin skin = Load("[TRACKBARINFO]\nCount=1\n1=T, .//./up.bmp, ALIAS.BMP, 0, 0, 10, H\n",
                           "MaskBitmap=up.bmp\nMouseUpBitmap=./up.bmp\nMouseDownBitmap=.//up.bmp\nMouseOnBitmap=alias.bmp\n");
    for (const QImage* image : {&skin.UpImage, &skin.DownImage, &skin.OnImage, &skin.TrackBars[0].ThumbBitmap,
                                &skin.TrackBars[0].ThumbDownBitmap})
        EXPECT_EQ(image->cacheKey(), skin.MaskImage.cacheKey());

    SkinPixelBudget budget("big.skn");
    const QImage face(16384, 4096, QImage::Format_Mono);  // 64 megapixels in 8 MB
    for (int i = 0; i < 4; ++i) budget.Spend(face);
    try {
        budget.Spend(QImage(1, 1, QImage::Format_Mono));
        ADD_FAILURE() << "over the cap";
    } catch (const OperationError& e) {
        EXPECT_STREQ(e.what(), "The skin big.skn has more than 256 megapixels of images and cannot be loaded.");
    }
}

TEST_F(SkinReaderTest, MissingImageNamesTheFullPath) {
    EXPECT_EQ(LoadError("", "MaskBitmap=mask.bmp\nMouseUpBitmap=gone.bmp\n"),
              "Cannot open file " + dir_.File("gone.bmp"));
    // An empty hover name is loaded as it stands, and no reader knows it.
    EXPECT_EQ(LoadError("", "MaskBitmap=mask.bmp\nMouseOnBitmap=\n"), "Unknown picture file extension (.)");
}

TEST_F(SkinReaderTest, OlderVersionsLoadAfterANotice) {
    struct Case {
        const char* version;
        bool notice;
    };
    for (const Case c : {Case{"Ver=216", true}, Case{"Ver=217", false}, Case{"Ver=300", false},
                         Case{"", true}, Case{"Ver=new", true}, Case{"Ver=0xD9", false}}) {
        SCOPED_TRACE(c.version);
        prompts_.shown.clear();
        testing::WriteFileBytes(dir_.File("skin.ini"),
                                std::string("[Version]\n") + c.version + "\n[BITMAPINFO]\nMaskBitmap=mask.bmp\n");
        const Skin skin = BuildSkinFromFile(dir_.File("skin.ini"), Skin{}, prompts_);
        EXPECT_EQ(ColourOf(skin.MaskImage), QColor(Qt::red));
        if (c.notice)
            EXPECT_THAT(prompts_.shown, ElementsAre(kOlderNotice));
        else
            EXPECT_TRUE(prompts_.shown.empty());
    }
}

TEST_F(SkinReaderTest, AFailedLoadLeavesThePreviousSkinWhole) {
    const Skin previous = Load(
        "[HOTAREAINFO]\nCount=1\n1=A, 1, 2, 3, 4, a, TRUE, g\n"
        "[DISPLAYINFO]\nCount=1\n1=T, Arial, FALSE, FALSE, 8, 0, 1, 2\n");
    // Modelled on a hand-edited skin: good faces, then one typo in line 2.
    testing::WriteFileBytes(dir_.File("broken.ini"),
                            "[VERSION]\nVer=217\n[BITMAPINFO]\nMaskBitmap=up.bmp\nNumbersBitmap=on.bmp\n"
                            "[HOTAREAINFO]\nCount=2\n1=B, 1, 2, 3, 4, b, TRUE, h\n2=C, 1, 2, 3, 4O, c\n");
    const Skin before = previous;
    EXPECT_THROW(BuildSkinFromFile(dir_.File("broken.ini"), previous, prompts_), ConversionError);
    EXPECT_EQ(previous.MaskImage, before.MaskImage);
    EXPECT_TRUE(previous.NumbersImage.isNull());
    ASSERT_EQ(previous.HotAreas.size(), 1u);
    EXPECT_EQ(previous.HotAreas[0].ID, "A");
    EXPECT_THAT(previous.GroupNames, ElementsAre("g"));
    EXPECT_EQ(previous.DisplayItems.size(), 1u);
}

TEST_F(SkinReaderTest, HostileCountIsCapped) {
    const Skin skin = Load("[HOTAREAINFO]\nCount=2000000000\n1=A, 1, 2, 3, 4, a\n");
    EXPECT_EQ(skin.HotAreas.size(), static_cast<std::size_t>(kMaxSkinLines));
    EXPECT_EQ(skin.HotAreas[0].ID, "A");
    EXPECT_EQ(skin.HotAreas.back().ID, "NOT_DEFINED");
}

struct VerifyCase {
    const char* name;
    std::string images;
    bool missing;
};

class VerifySkinTest : public SkinReaderTest, public ::testing::WithParamInterface<VerifyCase> {};

TEST_P(VerifySkinTest, FlagsOnlyAbsentImages) {
    testing::WriteFileBytes(dir_.File("skin.ini"), "[BITMAPINFO]\n" + GetParam().images);
    bool missing = false;
    VerifySkin(dir_.File("skin.ini"), missing);
    EXPECT_EQ(missing, GetParam().missing);
    missing = true;  // it never clears the flag
    VerifySkin(dir_.File("skin.ini"), missing);
    EXPECT_TRUE(missing);
}

INSTANTIATE_TEST_SUITE_P(
    Files, VerifySkinTest,
    ::testing::Values(
        VerifyCase{"AllPresentTextEmpty",
                   "MaskBitmap=mask.bmp\nMouseUpBitmap=up.bmp\nMouseDownBitmap=down.bmp\nMouseOnBitmap=on.bmp\n"
                   "NumbersBitmap=up.bmp\nTextBitmap=\n",
                   false},
        VerifyCase{"NothingNamed", "", false},
        VerifyCase{"NumbersMissing", "MaskBitmap=mask.bmp\nNumbersBitmap=digits.bmp\n", true},
        VerifyCase{"HoverMissing", "MaskBitmap=mask.bmp\nMouseOnBitmap=glow.jpg\n", true},
        VerifyCase{"FolderIsNoImage", "MaskBitmap=.\n", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tolvenmark
