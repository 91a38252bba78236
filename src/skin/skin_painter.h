#pragma once

#include <string>
#include <vector>

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "skin/skin_data.h"

namespace tolvenmark {

// Glyph orders of the number strip and the three rows of the text sheet.
inline constexpr const char* kNumberGlyphs = "0123456789 ";
inline constexpr const char* kTextGlyphRows[3] = {
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ@\"?*",
    "0123456789 .:<>-'!_+\\/[]^&%,=$",
    "abcdefghijklmnopqrstuvwxyz",
};

// Converts the skin's images once to the pixel format the painter copies
// without conversion, so that a repaint never converts a whole face.
void PrepareForPainting(Skin& skin);

// One image in the format PrepareForPainting gives it.
void PrepareImageForPainting(QImage& image);

// The whole face into face (already sized to the mask): up face, the down face
// over switched-on and pressed areas, the hover face over hovered ones, the
// thumbs (the pressed thumb for activeTrackBar), then every display item's text.
void ComposeFace(const Skin& skin, int activeTrackBar, QImage& face);
// The same composition inside area only, every pixel there as ComposeFace
// gives it; display items whose text cannot reach the area are not drawn.
// itemAreas, when it holds one per display item, saves measuring them again.
void ComposeFaceArea(const Skin& skin, int activeTrackBar, QImage& face, const QRect& area,
                     const std::vector<QRect>* itemAreas = nullptr);
// That composition of area (cut to a face of faceSize) as an image of its own,
// so no whole face need be held; the up face may be parked with a piece
// covering area (see UpFaceCovers).
QImage ComposeFacePart(const Skin& skin, int activeTrackBar, const QSize& faceSize, const QRect& area,
                       const std::vector<QRect>* itemAreas = nullptr);
// The pixels of a face of faceSize that the item's text may touch (a margin
// wide enough for anti-aliasing and slanted or emboldened glyphs included).
QRect DisplayItemArea(const Skin& skin, const DisplayInfoRec& item, const QSize& faceSize);

// Texts from the number strip ("0123456789 ", unknown characters as "0") and
// from the text sheet (unknown characters as the blank of row 1), top-left at
// (x, y), one glyph width per character, not clipped. faceSize, when valid,
// is the face's where the painter's device holds only a part of it.
void DrawNumberGlyphs(QPainter& painter, const QImage& strip, int x, int y, const std::string& text,
                      const QSize& faceSize = QSize());
void DrawTextGlyphs(QPainter& painter, const QImage& sheet, int x, int y, const std::string& text,
                    const QSize& faceSize = QSize());

// A display item's text with its font, top-left of the text cell at (X, Y),
// transparent background, not clipped to the item's box.
void DrawFontText(QPainter& painter, const DisplayInfoRec& item, const QSize& faceSize = QSize());
// The text a font item shows: cut with an ellipsis to its width when it elides.
QString ShownFontText(const DisplayInfoRec& item, const QFontMetrics& metrics);

// The font a display item is drawn with. Sizes are points at 96 dots per inch
// so that a skin keeps its pixel layout on any screen; families the machine
// lacks ("Lucida Fax", "MS Sans Serif") are drawn with installed look-alikes.
QFont DisplayQFont(const DisplayFont& font);
// Its size in pixels: 0 points means the default size, a negative size a height.
int DisplayFontPixels(const DisplayFont& font);
// A skin colour (0x00BBGGRR, or a system colour reference) as drawn.
QColor SkinQColor(std::uint32_t color);

// Turns the image grey in place, through a JPEG round trip with greyscale
// output (so the grey face carries the codec's artefacts, like the original).
void MakeGrayscale(QImage& image);

}  // namespace tolvenmark
