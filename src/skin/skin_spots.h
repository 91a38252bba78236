#pragma once

#include <cstdint>
#include <vector>

#include <QPoint>
#include <QRect>
#include <QSize>

#include "skin/skin_data.h"

namespace tolvenmark {

// A hot area or a display item, by its index in the skin's table.
struct SkinSpot {
    bool hotArea;
    int index;
};

// Where a skin's spots lie on its face and what the pointer and the keyboard
// meet there: the one account of them that the mouse, the keyboard and
// assistive technology share. Boxes are summed in 64 bits, since a damaged
// skin may hold any numbers.
class SkinSpots {
public:
    SkinSpots(const Skin& skin, QSize face) : skin_(skin), face_(face) {}

    // X <= px < X + width and Y <= py < Y + height.
    static bool InBox(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height, QPoint p);
    static bool OnArea(const HotAreaInfoRec& a, QPoint p) { return InBox(a.X, a.Y, a.Width, a.Height, p); }
    static bool OnItem(const DisplayInfoRec& d, QPoint p) { return InBox(d.X, d.Y, d.Width, d.Height, p); }
    static bool OnThumb(const TrackBarInfoRec& t, QPoint p);
    static bool OnTrack(const TrackBarInfoRec& t, QPoint p);

    // The part of a spot's box inside the face; empty when it lies outside.
    QRect HotAreaBox(int index) const;
    QRect DisplayItemBox(int index) const;
    // The first hot area or display item under p, -1 for none.
    int HotAreaAt(QPoint p) const;
    int DisplayItemAt(QPoint p) const;

    // Every spot inside the face as a reader meets them, and the hot areas
    // among them, the keyboard's order.
    std::vector<SkinSpot> ReadingOrder() const;
    std::vector<int> FocusOrder() const;

    // Track bars: the point's place along the bar, where the bar starts, and
    // the thumb's travel (none for a track no longer than its thumb).
    static int Along(const TrackBarInfoRec& t, QPoint p) { return t.Horizontal ? p.x() : p.y(); }
    static int BarStart(const TrackBarInfoRec& t) { return t.Horizontal ? t.X : t.Y; }
    static int ThumbSize(const TrackBarInfoRec& t) { return t.Horizontal ? t.ThumbWidth : t.ThumbHeight; }
    static std::int64_t Span(const TrackBarInfoRec& t);
    // Sets the offset, kept within the travel, and the position it gives.
    static void PlaceThumb(TrackBarInfoRec& t, std::int64_t offset);
    // Keeps the position within the bar's limits and puts the thumb there.
    static void ClampPosition(TrackBarInfoRec& t);

    // Records index as its group's selected member; the member selected
    // before, -1 for none or one this skin does not have.
    static int SelectGroupMember(Skin& skin, int index);

private:
    const Skin& skin_;
    QSize face_;
};

}  // namespace tolvenmark
