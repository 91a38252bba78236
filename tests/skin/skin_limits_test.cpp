#include <cstdint>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "platform/conversion_error.h"
#include "skin/image_input.h"
#include "skin/skin_fields.h"
#include "skin/skin_limits.h"
#include "skin/skin_location.h"
#include "skin/packed_skin.h"
#include "skin/skin_pack.h"
#include "skin/skin_painter.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

// Each of a skin's caps is "at most": the limit itself is taken, one more is not.
struct LimitCase {
    const char* name;
    std::int64_t limit;
    std::function<bool(std::int64_t)> accepts;
};

void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.name; }

bool Passes(const std::function<void()>& check) {
    try {
        check();
        return true;
    } catch (const OperationError&) {
        return false;
    }
}

// One display item on a face of faceWidth by faceHeight.
bool DisplayItemAccepted(const char* style, std::int32_t points, int faceWidth, int faceHeight, int numbersHeight) {
    Skin skin;
    skin.MaskImage = QImage(faceWidth, faceHeight, QImage::Format_Mono);
    skin.NumbersImage = QImage(1, numbersHeight, QImage::Format_Mono);
    DisplayInfoRec item;
    item.Style = style;
    item.Font.Size = points;
    skin.DisplayItems.push_back(item);
    return Passes([&] { CheckDisplayItems(skin, "s.skn"); });
}

class SkinLimitTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(SkinLimitTest, AtTheLimitTakenOneOverRefused) {
    const LimitCase& c = GetParam();
    EXPECT_TRUE(c.accepts(c.limit - 1));
    EXPECT_TRUE(c.accepts(c.limit));
    EXPECT_FALSE(c.accepts(c.limit + 1));
}

INSTANTIATE_TEST_SUITE_P(
    Caps, SkinLimitTest,
    ::testing::Values(
        LimitCase{"ImageSide", 16384, [](std::int64_t side) { return ImageSizeAcceptable(side, 1) && ImageSizeAcceptable(1, side); }},
        // 16384 rows of 4096: 64 megapixels.
        LimitCase{"ImagePixels", 4096, [](std::int64_t rows) { return ImageSizeAcceptable(16384, rows); }},
        LimitCase{"DisplayFontPoints", 720, [](std::int64_t p) { return DisplayItemAccepted("Normal", p, 8, 8, 1); }},
        LimitCase{"DisplayFontPointsBelowZero", 720,
                  [](std::int64_t p) { return DisplayItemAccepted("Normal", static_cast<std::int32_t>(-p), 8, 8, 1); }},
        // Numbers 131072 rows high across a face 128 wide: 16 megapixels.
        LimitCase{"DisplayCover", 131072,
                  [](std::int64_t rows) { return DisplayItemAccepted("Number", 0, 128, 140000, static_cast<int>(rows)); }},
        // 1536 points are 2048 pixels at 96 dpi; a larger font is drawn no larger.
        LimitCase{"FontPixels", 1536,
                  [](std::int64_t p) { return DisplayFontPixels({"", false, false, static_cast<std::int32_t>(p)}) == (p * 96 + 36) / 72; }},
        LimitCase{"Coordinate", 100000,
                  [](std::int64_t v) {
                      const auto value = static_cast<std::int32_t>(v);
                      return ClampSkinCoordinate(value) == value && ClampSkinCoordinate(-value) == -value;
                  }},
        LimitCase{"PackedNameBytes", 64, [](std::int64_t n) { return PackedNameProblem(std::string(n, 'a')).empty(); }},
        // Packed and unpacked again.
        LimitCase{"PackedMembers", 128,
                  [](std::int64_t members) {
                      testing::TempDir dir;
                      std::filesystem::create_directory(dir.File("s"));
                      testing::WriteFileBytes(dir.File("s/skin.ini"), "[Version]\nVer=217\n");
                      for (std::int64_t i = 1; i < members; ++i) testing::WriteFileBytes(dir.File("s/" + std::to_string(i)), "");
                      try {
                          PackSkinFolder(dir.File("s"), dir.File("s.skn"));
                      } catch (const SkinPackError&) {
                          return false;
                      }
                      return UnpackSkin(dir.File("s.skn"), dir.File("out"));
                  }},
        LimitCase{"SkinIniBytes", 16 << 20,
                  [](std::int64_t bytes) {
                      testing::TempDir dir;
                      testing::WriteFileBytes(dir.File("skin.ini"), "[A]\nk=" + std::string(bytes - 7, 'x') + "\n");
                      return Passes([&] { LoadSkinIni(dir.File("skin.ini"), "s.skn"); });
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tolvenmark
