#include "skin/mask_region.h"

#include <string>
#include <vector>

#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

#include "support/gui_app.h"

namespace tolvenmark {
namespace {

// One character per pixel: '#' black, '.' white, 'k' the key under test,
// 't' the key plus the tolerance, 'o' just outside the range.
QImage MaskFrom(const std::vector<std::string>& rows, QRgb k = 0, QRgb t = 0, QRgb o = 0) {
    QImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QRgb c = qRgb(0, 0, 0);
            switch (rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]) {
                case '.': c = qRgb(255, 255, 255); break;
                case 'k': c = k; break;
                case 't': c = t; break;
                case 'o': c = o; break;
                default: break;
            }
            image.setPixel(x, y, c);
        }
    }
    return image;
}

bool SameArea(const QRegion& a, const QRegion& b) { return a.xored(b).isEmpty(); }

struct RangeCase {
    const char* name;
    SkinColor key;
    SkinColor tolerance;
    QRgb k, t, o;  // key pixel, top of the range, just outside
};

class MaskRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(MaskRangeTest, CutsKeyUpToTolerance_KeepsTheRest) {
    const RangeCase& c = GetParam();
    // Row 0: key and top of range are cut, the outside pixel stays.
    const QImage mask = MaskFrom({"kto#", "tkko"}, c.k, c.t, c.o);
    const std::vector<QRect> runs = MaskRuns(mask, c.key, c.tolerance);
    const std::vector<QRect> expected = {QRect(2, 0, 2, 1), QRect(3, 1, 1, 1)};
    EXPECT_EQ(runs, expected);
    EXPECT_TRUE(SameArea(MaskToRegion(mask, c.key, c.tolerance), QRegion(2, 0, 2, 1) + QRegion(3, 1, 1, 1)));
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, MaskRangeTest,
    ::testing::Values(
        // Grey key $808080, tolerance $101010: $808080..$909090 goes, $7F7F7F stays (range is upward only).
        RangeCase{"Grey", 0x808080, 0x101010, qRgb(0x80, 0x80, 0x80), qRgb(0x90, 0x90, 0x90), qRgb(0x7F, 0x7F, 0x7F)},
        // One channel leaving the range keeps the pixel.
        RangeCase{"OneChannelOut", 0x808080, 0x101010, qRgb(0x88, 0x88, 0x88), qRgb(0x90, 0x90, 0x90), qRgb(0x88, 0x91, 0x88)},
        // 250 + 10 ends at 255, it does not wrap round to 4.
        RangeCase{"Saturates", 0x0000FA, 0x00000A, qRgb(250, 0, 0), qRgb(255, 0, 0), qRgb(249, 0, 0)},
        // Colours are 0x00BBGGRR: the low byte is red.
        RangeCase{"ByteOrder", 0x0000FF, 0, qRgb(255, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)},
        // A white key cuts exactly white, whatever the tolerance.
        RangeCase{"WhiteKey", 0xFFFFFF, 0x202020, qRgb(255, 255, 255), qRgb(255, 255, 255), qRgb(254, 255, 255)}),
    [](const ::testing::TestParamInfo<RangeCase>& info) { return std::string(info.param.name); });

TEST(MaskToRegionTest, MaskAllKeyColourGivesEmptyRegion) {
    const QImage mask = MaskFrom({"....", "...."});
    EXPECT_TRUE(MaskRuns(mask, 0xFFFFFF, 0).empty());
    EXPECT_TRUE(MaskToRegion(mask, 0xFFFFFF, 0).isEmpty());
}

TEST(MaskToRegionTest, BlackMonoBitmapWithWhiteKeyGivesFullRectangle) {
    // The built-in mask's kind: one bit per pixel, all black.
    QImage mask(501, 357, QImage::Format_Mono);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mask.fill(0);
    EXPECT_EQ(MaskRuns(mask, 0xFFFFFF, 0).size(), 357u);
    EXPECT_TRUE(SameArea(MaskToRegion(mask, 0xFFFFFF, 0), QRegion(0, 0, 501, 357)));
}

TEST(MaskToRegionTest, EachRowGivesItsMaximalRuns) {
    const QImage mask = MaskFrom({"#..##.#", ".......", "#######"});
    const std::vector<QRect> expected = {QRect(0, 0, 1, 1), QRect(3, 0, 2, 1), QRect(6, 0, 1, 1),
                                         QRect(0, 2, 7, 1)};
    EXPECT_EQ(MaskRuns(mask, 0xFFFFFF, 0), expected);
}

TEST(MaskToRegionTest, NullMaskGivesNoRegion) {
    EXPECT_TRUE(MaskToRegion(QImage(), 0xFFFFFF, 0).isEmpty());
}

TEST(MaskToRegionTest, RunsBeyondOneBatchAreAllKept) {
    // A checkerboard: 50 runs a row, 4100 in all, so two full batches of 2000
    // (one ending inside a row) and a part batch.
    QImage mask(100, 82, QImage::Format_RGB32);
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            mask.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    ASSERT_EQ(MaskRuns(mask, 0xFFFFFF, 0).size(), 4100u);

    const QRegion region = MaskToRegion(mask, 0xFFFFFF, 0);
    QRegion expected;
    for (const QRect& r : MaskRuns(mask, 0xFFFFFF, 0)) expected += r;
    EXPECT_TRUE(SameArea(region, expected));
    EXPECT_TRUE(region.contains(QPoint(0, 0)));
    EXPECT_FALSE(region.contains(QPoint(1, 0)));
    EXPECT_TRUE(region.contains(QPoint(99, 81)));
    EXPECT_FALSE(region.contains(QPoint(98, 81)));
}

TEST(MaskSystemColourTest, KeyNamingASystemColourCutsThatColour) {
    testing::EnsureGuiApplication();
    const QRgb window = QGuiApplication::palette().color(QPalette::Active, QPalette::Base).rgb();
    const QImage mask = MaskFrom({"k#", "kk"}, window);
    EXPECT_TRUE(SameArea(MaskToRegion(mask, 0x80000005, 0), QRegion(1, 0, 1, 1)));
    // An index that names no colour is black, as the platform answers.
    EXPECT_TRUE(SameArea(MaskToRegion(MaskFrom({"#."}), 0x800000FF, 0), QRegion(1, 0, 1, 1)));
}

}  // namespace
}  // namespace tolvenmark
