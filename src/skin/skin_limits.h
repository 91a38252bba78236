#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include <QImage>

#include "skin/skin_data.h"

namespace tolvenmark {

// What one skin may ask of the machine. Its images together: a face is at
// most 64 megapixels, and a skin has four faces at most worth decoding.
inline constexpr std::uint64_t kMaxSkinPixels = 256ull * 1024 * 1024;
// Display items are clock texts: the built-in skin's largest is 80 points.
inline constexpr std::int32_t kMaxDisplayFontPoints = 720;
// Every tick may compose each item again: the rows their texts may cover on
// the face (line height by face width), added up over the items.
inline constexpr std::uint64_t kMaxDisplayCoverPixels = 16ull * 1024 * 1024;

// Counts the pixels a load decodes; past kMaxSkinPixels it refuses the skin
// (OperationError naming shownName).
class SkinPixelBudget {
public:
    explicit SkinPixelBudget(std::string shownName) : shownName_(std::move(shownName)) {}
    void Spend(const QImage& decoded);

private:
    std::string shownName_;
    std::uint64_t spent_ = 0;
};

// Refuses a skin whose display items have a font over kMaxDisplayFontPoints
// or cover more than kMaxDisplayCoverPixels of its face (OperationError).
void CheckDisplayItems(const Skin& skin, const std::string& shownName);

}  // namespace tolvenmark
