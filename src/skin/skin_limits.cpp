#include "skin/skin_limits.h"

#include <algorithm>
#include <cstdlib>

#include "platform/conversion_error.h"
#include "skin/skin_painter.h"

namespace tolvenmark {

void SkinPixelBudget::Spend(const QImage& decoded) {
    spent_ += static_cast<std::uint64_t>(decoded.width()) * static_cast<std::uint64_t>(decoded.height());
    if (spent_ > kMaxSkinPixels)
        throw OperationError("The skin " + shownName_ + " has more than " + std::to_string(kMaxSkinPixels >> 20) +
                             " megapixels of images and cannot be loaded.");
}

void CheckDisplayItems(const Skin& skin, const std::string& shownName) {
    const std::uint64_t faceWidth = static_cast<std::uint64_t>(std::max(skin.MaskImage.width(), 0));
    const std::uint64_t faceHeight = static_cast<std::uint64_t>(std::max(skin.MaskImage.height(), 0));
    std::uint64_t cover = 0;
    for (std::size_t i = 0; i < skin.DisplayItems.size(); ++i) {
        const DisplayInfoRec& item = skin.DisplayItems[i];
        std::uint64_t lineHeight = 0;
        if (item.Style == "Number") {
            lineHeight = static_cast<std::uint64_t>(skin.NumbersImage.height());
        } else if (item.Style == "Text") {
            lineHeight = static_cast<std::uint64_t>(skin.TextImage.height() / 3);
        } else {
            const std::int64_t points = std::abs(static_cast<std::int64_t>(item.Font.Size));
            if (points > kMaxDisplayFontPoints)
                throw OperationError("Display item " + std::to_string(i + 1) + " of the skin " + shownName +
                                     " has a font of " + std::to_string(points) + " points; at most " +
                                     std::to_string(kMaxDisplayFontPoints) + " are allowed.");
            // Ascent and descent together stay within twice the pixel size.
            lineHeight = 2 * static_cast<std::uint64_t>(DisplayFontPixels(item.Font));
        }
        cover += std::min(lineHeight, faceHeight) * faceWidth;
    }
    if (cover > kMaxDisplayCoverPixels)
        throw OperationError("The display items of the skin " + shownName + " cover more than " +
                             std::to_string(kMaxDisplayCoverPixels >> 20) +
                             " megapixels of its face and cannot be drawn every second.");
}

}  // namespace tolvenmark
