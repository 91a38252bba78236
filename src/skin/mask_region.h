#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <QImage>
#include <QRect>
#include <QRegion>

#include "skin/system_colors.h"

namespace tolvenmark {

// The one-pixel-high runs of pixels that are not transparent, row by row from
// the top, left to right. A pixel is transparent when every channel lies in
// key .. min(255, key + tolerance): the range reaches upward only. System
// colour references in either are their current colours.
std::vector<QRect> MaskRuns(const QImage& mask, SkinColor keyColor, SkinColor tolerance);

// The window outline of a mask: the runs above, handed to the region in
// batches of kMaskRegionBatch rectangles. A null mask gives an empty region.
QRegion MaskToRegion(const QImage& mask, SkinColor keyColor, SkinColor tolerance);

inline constexpr int kMaskRegionBatch = 2000;

// How many runs the mask gives, without keeping them.
std::size_t CountMaskRuns(const QImage& mask, SkinColor keyColor, SkinColor tolerance);

// The outline as one bit per pixel (Format_MonoLSB, 1 where the window is):
// an eighth of a byte a pixel, however ragged the outline.
QImage MaskBitmap(const QImage& mask, SkinColor keyColor, SkinColor tolerance);

// The outline as coverage (Format_Alpha8: 255 where the window is, 0 where
// the mask cuts it away), for windows the system cannot shape.
QImage MaskAlpha(const QImage& mask, SkinColor keyColor, SkinColor tolerance);

// A window system takes a region of this many rectangles in one request of
// the smallest size the X11 protocol allows (256 KB); a more ragged outline
// goes to it as a bitmap.
inline constexpr std::size_t kMaxOutlineRects = 32000;
// Each run costs an X server some 125 bytes, several times over in its
// clip lists: a skin whose outline has more is refused (a 2048 x 2048
// checkerboard has half as many).
inline constexpr std::size_t kMaxOutlineRuns = 4u << 20;

}  // namespace tolvenmark
