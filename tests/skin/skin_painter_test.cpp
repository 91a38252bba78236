#include "skin/skin_painter.h"

#include <algorithm>
#include <string>
#include <vector>

#include <QFontDatabase>
#include <QFontInfo>
#include <gtest/gtest.h>

#include "skin/mask_region.h"
#include "support/gui_app.h"

namespace tolvenmark {
namespace {

constexpr QRgb kBackground = 0xFF102030;

// Glyph cell (row, column) is filled with a colour that names it.
QRgb CellColour(int row, int column) { return qRgb(column * 8, 40 + row * 60, 200); }

QImage GlyphImage(int columns, int rows, int cellWidth, int cellHeight, int extraWidth = 0) {
    QImage image(columns * cellWidth + extraWidth, rows * cellHeight, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 255));  // the unused tail shows as magenta
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            for (int y = 0; y < cellHeight; ++y)
                for (int x = 0; x < cellWidth; ++x)
                    image.setPixel(c * cellWidth + x, r * cellHeight + y, CellColour(r, c));
    return image;
}

QImage Canvas() {
    QImage canvas(200, 40, QImage::Format_RGB32);
    canvas.fill(kBackground);
    return canvas;
}

// The colours drawn at the top-left pixel of each glyph cell, from x = 5, y = 3.
std::vector<QRgb> CellsDrawn(const QImage& canvas, int cellWidth, int count) {
    std::vector<QRgb> cells;
    for (int i = 0; i < count; ++i) cells.push_back(canvas.pixel(5 + i * cellWidth, 3));
    return cells;
}

class SkinPainterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureGuiApplication(); }
};

TEST_F(SkinPainterTest, NumberStripDrawsDigitsAndZeroForUnknownCharacters) {
    const QImage strip = GlyphImage(11, 1, 10, 6);
    QImage canvas = Canvas();
    {
        QPainter painter(&canvas);
        DrawNumberGlyphs(painter, strip, 5, 3, "12:05");
    }
    const std::vector<QRgb> expected = {CellColour(0, 1), CellColour(0, 2), CellColour(0, 0),
                                        CellColour(0, 0), CellColour(0, 5), kBackground};
    EXPECT_EQ(CellsDrawn(canvas, 10, 6), expected);
    EXPECT_EQ(canvas.pixel(5 + 49, 3 + 5), CellColour(0, 5));  // whole glyph, one width per character
    EXPECT_EQ(canvas.pixel(5, 3 + 6), kBackground);            // strip height only
}

TEST_F(SkinPainterTest, StripWidthIsDividedDownSoTheTailIsNeverShown) {
    const QImage strip = GlyphImage(11, 1, 10, 6, 5);  // 115 pixels wide
    QImage canvas = Canvas();
    {
        QPainter painter(&canvas);
        DrawNumberGlyphs(painter, strip, 5, 3, "9 9");
    }
    const std::vector<QRgb> expected = {CellColour(0, 9), CellColour(0, 10), CellColour(0, 9)};
    EXPECT_EQ(CellsDrawn(canvas, 10, 3), expected);
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            ASSERT_NE(canvas.pixel(x, y), qRgb(255, 0, 255)) << x << "," << y;
}

TEST_F(SkinPainterTest, TextSheetPicksTheRowOfEachCharacter) {
    const QImage sheet = GlyphImage(30, 3, 8, 5);
    struct Case {
        std::string text;
        std::vector<QRgb> cells;
    };
    const std::vector<Case> cases = {
        {"Am", {CellColour(0, 0), CellColour(2, 12)}},
        {"5", {CellColour(1, 5)}},
        {"#", {CellColour(1, 10)}},                    // unknown: the blank of row 1
        {"\"?*", {CellColour(0, 27), CellColour(0, 28), CellColour(0, 29)}},
        {"$ z", {CellColour(1, 29), CellColour(1, 10), CellColour(2, 25)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        QImage canvas = Canvas();
        {
            QPainter painter(&canvas);
            DrawTextGlyphs(painter, sheet, 5, 3, c.text);
        }
        EXPECT_EQ(CellsDrawn(canvas, 8, static_cast<int>(c.cells.size())), c.cells);
        EXPECT_EQ(canvas.pixel(5, 3 + 5), kBackground);  // one row high
    }
}

TEST_F(SkinPainterTest, NoStripOrSheetDrawsNothing) {
    QImage canvas = Canvas();
    {
        QPainter painter(&canvas);
        DrawNumberGlyphs(painter, QImage(), 5, 3, "12");
        DrawTextGlyphs(painter, QImage(10, 2, QImage::Format_RGB32), 5, 3, "AB");  // too small for a glyph
    }
    EXPECT_EQ(canvas, Canvas());
}

Skin FacesSkin() {
    Skin skin;
    for (auto [image, colour] : {std::pair{&skin.UpImage, Qt::red}, std::pair{&skin.DownImage, Qt::green},
                                 std::pair{&skin.OnImage, Qt::blue}}) {
        *image = QImage(100, 40, QImage::Format_RGB32);
        image->fill(colour);
    }
    skin.MaskImage = QImage(100, 40, QImage::Format_RGB32);
    return skin;
}

HotAreaInfoRec Area(int x, bool hasState, bool state, bool hover, bool pressed) {
    HotAreaInfoRec a;
    a.X = x;
    a.Width = 10;
    a.Height = 10;
    a.HasState = hasState;
    a.State = state;
    a.Hover = hover;
    a.Pressed = pressed;
    return a;
}

TEST_F(SkinPainterTest, FaceShowsDownForOnOrPressed_HoverOverOnButNotOverPressed) {
    Skin skin = FacesSkin();
    skin.HotAreas = {Area(0, false, false, false, false), Area(10, true, true, false, false),
                     Area(20, true, false, false, false), Area(30, false, false, false, true),
                     Area(40, true, true, true, false), Area(50, false, false, true, true),
                     Area(60, false, true, false, false)};  // State without HasState counts for nothing
    QImage face(100, 40, QImage::Format_RGB32);
    ComposeFace(skin, -1, face);
    // A held button keeps its down face under the pointer.
    const std::vector<QColor> expected = {Qt::red, Qt::green, Qt::red, Qt::green, Qt::blue, Qt::green, Qt::red};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(face.pixelColor(static_cast<int>(i) * 10 + 5, 5), expected[i]);
    }
    EXPECT_EQ(face.pixelColor(15, 15), QColor(Qt::red));  // below the areas
}

TEST_F(SkinPainterTest, ThumbsAtTheirOffset_PressedThumbForTheActiveBar) {
    Skin skin = FacesSkin();
    for (bool horizontal : {true, false}) {
        TrackBarInfoRec bar;
        bar.Horizontal = horizontal;
        bar.X = horizontal ? 10 : 80;
        bar.Y = horizontal ? 20 : 2;
        bar.Offset = 7;
        bar.ThumbBitmap = QImage(4, 4, QImage::Format_RGB32);
        bar.ThumbBitmap.fill(Qt::yellow);
        bar.ThumbDownBitmap = QImage(4, 4, QImage::Format_RGB32);
        bar.ThumbDownBitmap.fill(Qt::cyan);
        skin.TrackBars.push_back(bar);
    }
    QImage face(100, 40, QImage::Format_RGB32);
    ComposeFace(skin, 1, face);
    EXPECT_EQ(face.pixelColor(17, 20), QColor(Qt::yellow));
    EXPECT_EQ(face.pixelColor(16, 20), QColor(Qt::red));
    EXPECT_EQ(face.pixelColor(80, 9), QColor(Qt::cyan));
    EXPECT_EQ(face.pixelColor(80, 8), QColor(Qt::red));
}

TEST_F(SkinPainterTest, FontTextStartsAtItsTopLeftInItsColour) {
    Skin skin = FacesSkin();
    for (QImage* image : {&skin.UpImage, &skin.DownImage, &skin.OnImage}) image->fill(Qt::black);
    DisplayInfoRec item;
    item.Font.Name = "MS Sans Serif";
    item.Font.Size = 12;
    item.Font.Color = 0x0000FF;  // red, as skins write it
    item.X = 20;
    item.Y = 10;
    item.Text = "HH";
    skin.DisplayItems = {item};
    QImage face(100, 40, QImage::Format_RGB32);
    ComposeFace(skin, -1, face);

    QRect inked;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            if (face.pixelColor(x, y) != QColor(Qt::black)) inked |= QRect(x, y, 1, 1);
    ASSERT_FALSE(inked.isEmpty());
    EXPECT_GE(inked.left(), 20);
    EXPECT_LE(inked.left(), 23);
    EXPECT_GE(inked.top(), 10);
    EXPECT_LE(inked.bottom(), 10 + 16 + 4);  // 12 points are 16 pixels at 96 dpi
    const QColor stem = face.pixelColor(inked.left() + 1, inked.center().y());
    EXPECT_GT(stem.red(), 200);
    EXPECT_LT(stem.green() + stem.blue(), 40);
}

// The main window's header: a long one ends in an ellipsis inside its box, never over its neighbours.
TEST_F(SkinPainterTest, ElidedTextEndsInsideItsBox) {
    for (const bool elide : {true, false}) {
        Skin skin = FacesSkin();
        for (QImage* image : {&skin.UpImage, &skin.DownImage, &skin.OnImage}) image->fill(Qt::black);
        DisplayInfoRec item;
        item.Font = DisplayFont{"MS Sans Serif", false, false, 12, 0xFFFFFF, 0};
        item.X = 20;
        item.Width = 100;
        item.Text = "Take the blue pills with a glass of water";
        item.Elide = elide;
        skin.DisplayItems = {item};
        QImage face(400, 40, QImage::Format_RGB32);
        ComposeFace(skin, -1, face);
        int right = 0;
        for (int y = 0; y < face.height(); ++y)
            for (int x = 0; x < face.width(); ++x)
                if (face.pixelColor(x, y) != QColor(Qt::black)) right = std::max(right, x);
        EXPECT_EQ(right < 120, elide) << right;
        EXPECT_GT(right, 100);
        EXPECT_TRUE(DisplayItemArea(skin, item, face.size()).contains(QPoint(right, 10)));
    }
}

TEST_F(SkinPainterTest, PointSizesAreDrawnAt96Dpi) {
    struct Case {
        int points;
        int pixels;
    };
    for (Case c : {Case{12, 16}, Case{16, 21}, Case{36, 48}, Case{80, 107}, Case{0, 11}, Case{-12, 16}}) {
        SCOPED_TRACE(c.points);
        DisplayFont font;
        font.Name = "Lucida Fax";
        font.Size = c.points;
        EXPECT_EQ(DisplayQFont(font).pixelSize(), c.pixels);
    }
}

TEST_F(SkinPainterTest, WindowsFontNamesFindInstalledLookAlikes) {
    // Left to the system's fallback both would come out in its one default
    // family; the serif face and the sans face must stay apart.
    auto family = [](const char* name) {
        DisplayFont font;
        font.Name = name;
        font.Size = 12;
        return QFontInfo(DisplayQFont(font)).family();
    };
    const QString serif = family("Lucida Fax");
    const QString sans = family("MS Sans Serif");
    EXPECT_TRUE(QFontDatabase::families().contains(serif)) << serif.toStdString();
    EXPECT_TRUE(QFontDatabase::families().contains(sans)) << sans.toStdString();
    EXPECT_NE(serif, sans);
}

TEST_F(SkinPainterTest, GrayscaleKeepsBrightnessAndLosesColour) {
    QImage image(32, 16, QImage::Format_RGB32);
    image.fill(qRgb(200, 40, 40));
    for (int y = 0; y < 16; ++y)
        for (int x = 16; x < 32; ++x) image.setPixel(x, y, qRgb(250, 250, 250));
    MakeGrayscale(image);
    EXPECT_EQ(image.size(), QSize(32, 16));
    for (QPoint p : {QPoint(4, 8), QPoint(28, 8)}) {
        const QColor c = image.pixelColor(p);
        EXPECT_EQ(c.red(), c.green());
        EXPECT_EQ(c.green(), c.blue());
    }
    EXPECT_NEAR(qGray(image.pixel(4, 8)), 0.299 * 200 + 0.587 * 40 + 0.114 * 40, 8);
    EXPECT_NEAR(qGray(image.pixel(28, 8)), 250, 8);
}

}  // namespace
}  // namespace tolvenmark

namespace tolvenmark {
namespace {

// Masks are held more cheaply once prepared; the faces drawn and the outline
// given stay the same, pixel for pixel. One row per kind of
// picture: a two-colour mask, a few colours, more colours than a table holds.
class PreparedSkinTable : public ::testing::TestWithParam<int> {};

TEST_P(PreparedSkinTable, ReadsTheSame) {
    testing::EnsureGuiApplication();
    const int colours = GetParam();
    Skin skin;
    skin.MaskImage = QImage(97, 33, QImage::Format_RGB32);
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < 97; ++x) {
            const int v = (x * 7 + y * 13) % colours;
            skin.MaskImage.setPixel(x, y, qRgb(v & 0xFF, (v >> 8) * 50, 9));
        }
    skin.UpImage = skin.MaskImage.copy();
    skin.UpImage.setPixel(0, 0, 0xFF123456);
    skin.DownImage = skin.UpImage.transformed(QTransform().rotate(180));
    skin.OnImage = skin.DownImage;
    HotAreaInfoRec pressed;
    pressed.X = 20, pressed.Width = 30, pressed.Height = 20, pressed.Pressed = true;
    skin.HotAreas = {pressed};
    const QRegion outline = MaskToRegion(skin.MaskImage, 0, 0);
    QImage before(97, 33, QImage::Format_RGB32), after(97, 33, QImage::Format_RGB32);
    ComposeFace(skin, -1, before);
    PrepareForPainting(skin);
    ComposeFace(skin, -1, after);
    EXPECT_EQ(after, before);
    EXPECT_EQ(MaskToRegion(skin.MaskImage, 0, 0), outline);
    EXPECT_EQ(skin.MaskImage.depth() <= 8, colours <= 256);
}

INSTANTIATE_TEST_SUITE_P(Colours, PreparedSkinTable, ::testing::Values(2, 3, 300));

}  // namespace
}  // namespace tolvenmark
