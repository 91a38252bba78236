#include <algorithm>
#include <cstdint>

#include <QTimer>

#include "skin/skin_form.h"
#include "skin/skin_painter.h"

// The face as a tick changes it: only the areas whose texts changed are
// composed again, and the down face is held only while something uses it.
namespace tolvenmark {

namespace {

// The smallest rectangle holding every pixel of area in which face differs
// from before, a copy of that area taken earlier.
QRect ChangedRect(const QImage& before, const QImage& face, const QRect& area) {
    int top = -1, bottom = -1, left = area.width(), right = -1;
    const int width = area.width();
    for (int y = 0; y < area.height(); ++y) {
        const auto* rowA = reinterpret_cast<const std::uint32_t*>(before.constScanLine(y));
        const auto* rowB = reinterpret_cast<const std::uint32_t*>(face.constScanLine(area.y() + y)) + area.x();
        if (std::equal(rowA, rowA + width, rowB)) continue;
        if (top < 0) top = y;
        bottom = y;
        int x = 0;
        while (x < width && rowA[x] == rowB[x]) ++x;
        left = std::min(left, x);
        int last = width - 1;
        while (last > x && rowA[last] == rowB[last]) --last;
        right = std::max(right, last);
    }
    if (top < 0) return {};
    return QRect(QPoint(left, top), QPoint(right, bottom)).translated(area.topLeft());
}

// Texts whose areas each display item remembers: the seconds' sixty, with
// room to spare; measuring a text shapes it, every tick.
constexpr std::size_t kMaxKnownAreas = 128;

// More separate areas than this are not worth composing one by one.
constexpr std::size_t kMaxStaleAreas = 8;

}  // namespace

const std::vector<QRect>& TSkinForm::ItemAreas() {
    if (itemAreas_.size() != skin_.DisplayItems.size()) {
        itemAreas_.clear();
        for (std::size_t i = 0; i < skin_.DisplayItems.size(); ++i)
            itemAreas_.push_back(ItemArea(itemAreas_.size()));
    }
    return itemAreas_;
}

QRect TSkinForm::ItemArea(std::size_t index) {
    const DisplayInfoRec& item = skin_.DisplayItems[index];
    if (knownAreas_.size() != skin_.DisplayItems.size()) knownAreas_.assign(skin_.DisplayItems.size(), {});
    auto& known = knownAreas_[index];
    if (const auto found = known.find(item.Text); found != known.end()) return found->second;
    if (known.size() >= kMaxKnownAreas) known.clear();
    const QRect area = DisplayItemArea(skin_, item, face_.size());
    known.emplace(item.Text, area);
    return area;
}

void TSkinForm::MarkStale(const QRect& area) {
    if (!needsRedraw_ && !area.isEmpty()) {
        QRect merged = area;
        // Overlapping areas become one, so no pixel is composed twice.
        for (auto it = staleAreas_.begin(); it != staleAreas_.end();) {
            if (it->intersects(merged)) {
                merged |= *it;
                staleAreas_.erase(it);
                it = staleAreas_.begin();  // the grown area may now reach an earlier one
            } else {
                ++it;
            }
        }
        staleAreas_.push_back(merged);
        if (staleAreas_.size() > kMaxStaleAreas) needsRedraw_ = true;
    }
    ScheduleUpdate();
}

void TSkinForm::Redraw() {
    needsRedraw_ = true;
    ScheduleUpdate();
}

void TSkinForm::ScheduleUpdate() {
    // A press or the pointer on a button wants the down face at once, and
    // CurrentSkin shows it to whoever reads it meanwhile.
    if (skin_.DownParked && Interacting()) UnparkDownFace(skin_);
    // The grey face stays until the application is active again.
    if (grayShown_ || flushPending_) return;
    flushPending_ = true;
    QMetaObject::invokeMethod(this, [this] { UpdateChangedArea(); }, Qt::QueuedConnection);
}

void TSkinForm::UpdateChangedArea() {
    flushPending_ = false;
    // Hidden (in the tray) nothing is composed; the first paint on showing does it.
    if (grayShown_ || !isVisible()) return;
    Face();
    if (!unshown_.isEmpty()) update(unshown_);
    unshown_ = QRegion();
}

const QImage& TSkinForm::Face() {
    if (grayShown_) return gray_;
    if (face_.isNull()) return face_;
    bool used = false;  // the down or the hover face
    if (needsRedraw_) {
        used = ComposeUsesDownFace(skin_, nullptr);
        if (used) UnparkDownFace(skin_);
        ComposeFace(skin_, activeTrackBar_, face_);
        needsRedraw_ = false;
        staleAreas_.clear();
        unshown_ = QRegion(face_.rect());
    }
    for (const QRect& area : staleAreas_) {
        const QRect inside = area & face_.rect();
        if (inside.isEmpty()) continue;
        const QImage before = face_.copy(inside);
        if (ComposeUsesDownFace(skin_, &inside)) {
            used = true;
            UnparkDownFace(skin_);
        }
        ComposeFaceArea(skin_, activeTrackBar_, face_, inside, &ItemAreas());
        const QRect changed = ChangedRect(before, face_, inside);
        if (!changed.isEmpty()) unshown_ += changed;
    }
    staleAreas_.clear();
    if (used || Interacting() || (!skin_.DownParked && !parkTimer_->isActive())) parkTimer_->start();
    return face_;
}

void TSkinForm::ParkWhenIdle() {
    // A tick composes only texts; the down face waits as bytes until a press,
    // the pointer or a switched-on area composed again needs it.
    if (Interacting())
        parkTimer_->start();
    else
        ParkDownFace(skin_);
}

bool TSkinForm::Interacting() const {
    for (const HotAreaInfoRec& hot : skin_.HotAreas)
        if (hot.Pressed || hot.Hover) return true;
    return false;
}

}  // namespace tolvenmark
