#pragma once

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

}  // namespace tolvenmark
