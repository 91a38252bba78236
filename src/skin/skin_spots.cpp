#include "skin/skin_spots.h"

#include <algorithm>
#include <exception>
#include <string>

#include "skin/reading_order.h"

namespace tolvenmark {

namespace {

QRect BoxWithin(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height, QSize size) {
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(x + width, size.width());
    const std::int64_t bottom = std::min<std::int64_t>(y + height, size.height());
    if (left >= right || top >= bottom) return {};
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                 static_cast<int>(bottom - top));
}

}  // namespace

bool SkinSpots::InBox(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height, QPoint p) {
    return p.x() >= x && p.x() < x + width && p.y() >= y && p.y() < y + height;
}

bool SkinSpots::OnThumb(const TrackBarInfoRec& t, QPoint p) {
    return t.Horizontal ? InBox(std::int64_t{t.X} + t.Offset, t.Y, t.ThumbWidth, t.ThumbHeight, p)
                        : InBox(t.X, std::int64_t{t.Y} + t.Offset, t.ThumbWidth, t.ThumbHeight, p);
}

bool SkinSpots::OnTrack(const TrackBarInfoRec& t, QPoint p) {
    return t.Horizontal ? InBox(t.X, t.Y, t.Length, t.ThumbHeight, p) : InBox(t.X, t.Y, t.ThumbWidth, t.Length, p);
}

QRect SkinSpots::HotAreaBox(int index) const {
    if (index < 0 || index >= static_cast<int>(skin_.HotAreas.size())) return {};
    const HotAreaInfoRec& a = skin_.HotAreas[static_cast<std::size_t>(index)];
    return BoxWithin(a.X, a.Y, a.Width, a.Height, face_);
}

QRect SkinSpots::DisplayItemBox(int index) const {
    if (index < 0 || index >= static_cast<int>(skin_.DisplayItems.size())) return {};
    const DisplayInfoRec& d = skin_.DisplayItems[static_cast<std::size_t>(index)];
    return BoxWithin(d.X, d.Y, d.Width, d.Height, face_);
}

int SkinSpots::HotAreaAt(QPoint p) const {
    for (std::size_t i = 0; i < skin_.HotAreas.size(); ++i)
        if (OnArea(skin_.HotAreas[i], p)) return static_cast<int>(i);
    return -1;
}

int SkinSpots::DisplayItemAt(QPoint p) const {
    for (std::size_t i = 0; i < skin_.DisplayItems.size(); ++i)
        if (OnItem(skin_.DisplayItems[i], p)) return static_cast<int>(i);
    return -1;
}

std::vector<SkinSpot> SkinSpots::ReadingOrder() const {
    std::vector<SkinSpot> all;
    std::vector<QRect> boxes;
    // Spots wholly outside the window can be neither seen nor clicked.
    for (int i = 0; i < static_cast<int>(skin_.HotAreas.size()); ++i)
        if (QRect box = HotAreaBox(i); !box.isEmpty()) all.push_back({true, i}), boxes.push_back(box);
    for (int i = 0; i < static_cast<int>(skin_.DisplayItems.size()); ++i)
        if (QRect box = DisplayItemBox(i); !box.isEmpty()) all.push_back({false, i}), boxes.push_back(box);
    std::vector<SkinSpot> ordered;
    for (int i : tolvenmark::ReadingOrder(boxes)) ordered.push_back(all[static_cast<std::size_t>(i)]);
    return ordered;
}

std::vector<int> SkinSpots::FocusOrder() const {
    std::vector<int> order;
    for (const SkinSpot& spot : ReadingOrder())
        if (spot.hotArea) order.push_back(spot.index);
    return order;
}

std::int64_t SkinSpots::Span(const TrackBarInfoRec& t) {
    return std::max<std::int64_t>(0, std::int64_t{t.Length} - ThumbSize(t));
}

void SkinSpots::PlaceThumb(TrackBarInfoRec& t, std::int64_t offset) {
    const std::int64_t span = Span(t);
    offset = std::clamp<std::int64_t>(offset, 0, span);
    t.Offset = static_cast<std::int32_t>(offset);
    t.Position = span > 0 ? static_cast<std::uint8_t>(offset * 100 / span) : 0;
}

void SkinSpots::ClampPosition(TrackBarInfoRec& t) {
    int position = std::max<int>(t.Position, t.MinPosition);
    position = std::min<int>(position, t.MaxPosition);
    position %= 101;
    t.Position = static_cast<std::uint8_t>(position);
    t.Offset = static_cast<std::int32_t>(position * Span(t) / 100);
}

int SkinSpots::SelectGroupMember(Skin& skin, int index) {
    const std::string& group = skin.HotAreas[static_cast<std::size_t>(index)].Group;
    const auto found = std::find(skin.GroupNames.begin(), skin.GroupNames.end(), group);
    if (found == skin.GroupNames.end()) return -1;
    const std::size_t g = static_cast<std::size_t>(found - skin.GroupNames.begin());
    if (g >= skin.GroupSelection.size()) skin.GroupSelection.resize(g + 1, "-1");
    int old = -1;
    try {
        old = std::stoi(skin.GroupSelection[g]);
    } catch (const std::exception&) {
        old = -1;
    }
    skin.GroupSelection[g] = std::to_string(index);
    return old >= 0 && old < static_cast<int>(skin.HotAreas.size()) ? old : -1;
}

}  // namespace tolvenmark
