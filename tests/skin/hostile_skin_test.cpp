// Skins as they arrive from the internet: hostile numbers, damaged and odd
// images, Windows paths, huge files. Each either loads and paints, or stops
// with the message the user sees; none may overflow or read without bound.
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "skin/mask_region.h"
#include "skin/skin_painter.h"
#include "skin/skin_reader.h"
#include "support/gui_app.h"
#include "support/scripted_prompts.h"
#include "support/little_endian.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

namespace fs = std::filesystem;

constexpr QRgb kUp = 0xFF00FF00;    // green
constexpr QRgb kDown = 0xFF0000FF;  // blue

using testing::PutLe;

// A 32-bit bitmap with a version 4 header and an alpha mask, every pixel the
// given colour with alpha 0, as some editors save faces.
std::string ZeroAlphaBitmap(int width, int height, QRgb colour) {
    std::string bytes(14 + 108, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLe(bytes, 10, 14 + 108, 4);
    PutLe(bytes, 14, 108, 4);
    PutLe(bytes, 18, static_cast<std::uint32_t>(width), 4);
    PutLe(bytes, 22, static_cast<std::uint32_t>(height), 4);
    PutLe(bytes, 26, 1, 2);
    PutLe(bytes, 28, 32, 2);
    PutLe(bytes, 30, 3, 4);  // bit fields
    PutLe(bytes, 54, 0x00FF0000, 4);
    PutLe(bytes, 58, 0x0000FF00, 4);
    PutLe(bytes, 62, 0x000000FF, 4);
    PutLe(bytes, 66, 0xFF000000, 4);
    std::string pixel(4, '\0');
    PutLe(pixel, 0, colour & 0x00FFFFFF, 4);
    for (int i = 0; i < width * height; ++i) bytes += pixel;
    PutLe(bytes, 2, static_cast<std::uint32_t>(bytes.size()), 4);
    return bytes;
}

std::string BitmapBytes(const std::string& path) { return testing::ReadFileBytes(path); }

struct HostileCase {
    const char* name;
    std::string images;  // the [BITMAPINFO] lines
    std::string body;    // the sections after it
    std::function<void(const testing::TempDir&)> files;
    std::string error;   // "" when it must load and paint
    QPoint probe;        // a face pixel of a loaded skin ...
    QRgb colour = 0;     // ... and its colour
};

class HostileSkinTest : public ::testing::TestWithParam<HostileCase> {
protected:
    static void SetUpTestSuite() { testing::EnsureGuiApplication(); }
    void SetUp() override {
        Image("mask.bmp", Qt::black);
        Image("up.bmp", QColor::fromRgb(kUp));
        Image("down.bmp", QColor::fromRgb(kDown));
        fs::create_directory(dir_.File("Images"));
        Image("Images/Face.BMP", QColor::fromRgb(kDown));
        QImage thumb(6, 4, QImage::Format_RGB32);
        thumb.fill(Qt::red);
        ASSERT_TRUE(thumb.save(QString::fromStdString(dir_.File("thumb.bmp")), "BMP"));
    }
    void Image(const std::string& name, QColor colour) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString(dir_.File(name)), "BMP"));
    }
    testing::TempDir dir_;
    testing::ScriptedPrompts prompts_;
};

TEST_P(HostileSkinTest, Loads) {
    const HostileCase& c = GetParam();
    if (c.files) c.files(dir_);
    testing::WriteFileBytes(dir_.File("skin.ini"), "[VERSION]\r\nVer=217\r\n[BITMAPINFO]\r\n" + c.images + c.body);
    Skin skin;
    try {
        skin = BuildSkinFromFile(dir_.File("skin.ini"), Skin{}, prompts_);
    } catch (const std::exception& e) {
        std::string expected = c.error;
        const std::size_t at = expected.find("<dir>");
        if (at != std::string::npos) expected.replace(at, 5, dir_.path());
        EXPECT_EQ(e.what(), expected);
        return;
    }
    ASSERT_EQ(c.error, "") << "loaded";
    for (HotAreaInfoRec& area : skin.HotAreas) area.Hover = true;
    PrepareForPainting(skin);
    QImage face(skin.MaskImage.size(), QImage::Format_RGB32);
    ComposeFace(skin, 0, face);
    EXPECT_EQ(face.pixel(c.probe), c.colour);
    EXPECT_FALSE(MaskToRegion(skin.MaskImage, 0xFFFFFF, 0).isEmpty()) << "the window would vanish";
}

const std::string kFaces = "MaskBitmap=mask.bmp\r\nMouseUpBitmap=up.bmp\r\nMouseDownBitmap=down.bmp\r\n";

INSTANTIATE_TEST_SUITE_P(
    Skins, HostileSkinTest,
    ::testing::Values(
        HostileCase{"ThumbFarRight", kFaces, "[TRACKBARINFO]\nCount=1\n1=T, thumb.bmp, thumbd.bmp, 2147483000, 10, 1000, H, 100\n",
                    [](const testing::TempDir& d) { fs::copy_file(d.File("thumb.bmp"), d.File("thumbd.bmp")); }, "",
                    {39, 12}, kUp},
        HostileCase{"VerticalThumbFarUp", kFaces,
                    "[TRACKBARINFO]\nCount=1\n1=V, thumb.bmp, thumb.bmp, 2, -2147483000, 2147483020, V, 100\n",
                    nullptr, "", {3, 17}, 0xFFFF0000},  // the track ends at 20, its thumb just above
        HostileCase{"SwitchFarRight", kFaces, "[HOTAREAINFO]\nCount=1\n1=S, 2147483000, 0, 1000, 30, s, TRUE\n",
                    nullptr, "", {39, 5}, kUp},
        HostileCase{"PressedSwitchReachingInFromFarLeft", kFaces,
                    "[HOTAREAINFO]\nCount=1\n1=S, -2147483000, 0, 2147483010, 30, s, TRUE\n", nullptr, "", {9, 5},
                    kDown},
        HostileCase{"AreaEndingJustLeftOfTheFace", kFaces,
                    "[HOTAREAINFO]\nCount=1\n1=S, -2147483000, 0, 2147483000, 30, s, TRUE\n", nullptr, "", {0, 5},
                    kUp},
        HostileCase{"GlyphsFarRightAndFarDown", kFaces + "NumbersBitmap=up.bmp\r\nTextBitmap=down.bmp\r\n",
                    "[DISPLAYINFO]\nCount=3\n"
                    "1=N, Arial, FALSE, FALSE, 8, 0, 2147483000, 0, Number, 0123456789 0123456789\n"
                    "2=T, Arial, FALSE, FALSE, 8, 0, -2147483000, 2147483000, Text, ABCDEFGHIJKLMNOPQRSTUVWXYZ\n"
                    "3=L, Arial, FALSE, FALSE, 8, 0, -2147483000, 0, Number, 0123456789 0123456789 0123456789\n",
                    nullptr, "", {20, 15}, kUp},
        HostileCase{"FontTextsAtTheEdgesOfTheRange", kFaces,
                    "[DISPLAYINFO]\nCount=3\n"
                    "1=A, Arial, FALSE, FALSE, 720, 0, 0, 2147483000, Normal, below\n"
                    "2=B, Arial, TRUE, TRUE, -720, 0, -2147483000, -2147483000, Normal, above\n"
                    "3=C, Arial, FALSE, FALSE, 8, 0, 2147483647, -2147483647, Normal, xx, , 2147483647, 2147483647\n",
                    nullptr, "", {20, 15}, kUp},
        HostileCase{"WindowsFolderInImageName", "MaskBitmap=mask.bmp\r\nMouseUpBitmap=images\\face.bmp\r\n", "",
                    nullptr, "", {5, 5}, kDown},
        HostileCase{"WindowsFolderThatIsMissing", "MaskBitmap=mask.bmp\r\nMouseUpBitmap=other\\face.bmp\r\n", "",
                    nullptr, "Cannot open file <dir>/other/face.bmp", {}, 0},
        HostileCase{"FaceWithAlphaBytesOfZero", "MaskBitmap=clear.bmp\r\nMouseUpBitmap=clear.bmp\r\n", "",
                    [](const testing::TempDir& d) {
                        testing::WriteFileBytes(d.File("clear.bmp"), ZeroAlphaBitmap(40, 30, 0xFF203040));
                    },
                    "", {5, 5}, 0xFF203040},
        HostileCase{"TruncatedBitmap", "MaskBitmap=cut.bmp\r\n", "",
                    [](const testing::TempDir& d) {
                        testing::WriteFileBytes(d.File("cut.bmp"), BitmapBytes(d.File("up.bmp")).substr(0, 100));
                    },
                    "Bitmap image is not valid", {}, 0},
        HostileCase{"BitmapOneByteShort", "MaskBitmap=cut.bmp\r\n", "",
                    [](const testing::TempDir& d) {
                        std::string bytes = BitmapBytes(d.File("up.bmp"));
                        bytes.pop_back();
                        testing::WriteFileBytes(d.File("cut.bmp"), bytes);
                    },
                    "Bitmap image is not valid", {}, 0},
        HostileCase{"HugeHeaderLittleData", "MaskBitmap=big.bmp\r\n", "",
                    [](const testing::TempDir& d) {
                        std::string bytes = BitmapBytes(d.File("up.bmp")).substr(0, 154);
                        PutLe(bytes, 18, 4000, 4);
                        PutLe(bytes, 22, 4000, 4);
                        testing::WriteFileBytes(d.File("big.bmp"), bytes);
                    },
                    "Bitmap image is not valid", {}, 0},
        HostileCase{"HeaderBeyondSixtyFourMegapixels", "MaskBitmap=big.bmp\r\n", "",
                    [](const testing::TempDir& d) {
                        std::string bytes = BitmapBytes(d.File("up.bmp"));
                        PutLe(bytes, 18, 16384, 4);
                        PutLe(bytes, 22, static_cast<std::uint32_t>(-4097), 4);  // top down
                        testing::WriteFileBytes(d.File("big.bmp"), bytes);
                    },
                    "Bitmap image is not valid", {}, 0},
        HostileCase{"DisplayFontOverTheCap", kFaces,
                    "[DISPLAYINFO]\nCount=2\n1=A, Arial, FALSE, FALSE, 720, 0, 0, 0, Normal, a\n"
                    "2=B, Arial, FALSE, FALSE, -1500, 0, 0, 0, Normal, b\n",
                    nullptr, "Display item 2 of the skin <dir>/skin.ini has a font of 1500 points; at most 720 are allowed.",
                    {}, 0},
        HostileCase{"DisplayItemsCoveringTheFaceOverAndOver", "MaskBitmap=wide.bmp\r\n",
                    "[DISPLAYINFO]\nCount=1000\n" + [] {
                        std::string lines;
                        for (int n = 1; n <= 1000; ++n) lines += std::to_string(n) + "=T, Arial, FALSE, FALSE, 300, 0, 0, 0, Normal, 88:88\n";
                        return lines;
                    }(),
                    [](const testing::TempDir& d) {
                        QImage wide(600, 400, QImage::Format_Mono);
                        wide.fill(0);
                        ASSERT_TRUE(wide.save(QString::fromStdString(d.File("wide.bmp")), "BMP"));
                    },
                    "The display items of the skin <dir>/skin.ini cover more than 16 megapixels of its face and "
                    "cannot be drawn every second.",
                    {}, 0},
        HostileCase{"SkinFileOverSixteenMegabytes", kFaces,
                    "[Filler]\n" + std::string(16 * 1024 * 1024, ';') + "\n", nullptr,
                    "The skin file <dir>/skin.ini is too large to be a skin.", {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tolvenmark
