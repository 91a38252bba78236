#include <algorithm>

#include <malloc.h>

#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include "skin/face_parking.h"
#include "skin/skin_form.h"
#include "skin/skin_painter.h"

// The face is never held whole: each paint composes the parts it shows, and
// the faces of the skin are let go while idle, but for the up face's pieces
// under the texts a tick changes.
namespace tolvenmark {

namespace {

// Texts whose areas each display item remembers: the seconds' sixty, with
// room to spare; measuring a text shapes it, every tick.
constexpr std::size_t kMaxKnownAreas = 128;

// More separate rectangles than this in one paint are composed as their box.
constexpr int kMaxPaintParts = 8;

// The toolkit hands a large image's drawing to its thread pool, whose
// threads then stay for half a minute; a band this high it draws itself.
constexpr int kBandRows = 16;

void DrawInBands(QPainter& painter, const QPoint& at, const QImage& image) {
    for (int y = 0; y < image.height(); y += kBandRows)
        painter.drawImage(at + QPoint(0, y), image,
                          QRect(0, y, image.width(), std::min(kBandRows, image.height() - y)));
}

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
    const QRect area = DisplayItemArea(skin_, item, faceSize_);
    known.emplace(item.Text, area);
    return area;
}

void TSkinForm::MarkStale(const QRect& area) {
    UnparkWhileInteracting();
    if (!grayShown_ && !area.isEmpty()) update(area);
}

void TSkinForm::Redraw() {
    UnparkWhileInteracting();
    if (!grayShown_) update();
}

void TSkinForm::UnparkWhileInteracting() {
    // A press or the pointer on a button wants the down face at once, and
    // CurrentSkin shows it to whoever reads it meanwhile.
    if (skin_.DownParked && Interacting()) UnparkDownFace(skin_);
}

QImage TSkinForm::Face() {
    if (grayShown_) return gray_;
    return ComposePart(QRect(QPoint(0, 0), faceSize_));
}

QImage TSkinForm::ComposePart(const QRect& area) {
    if (area.isEmpty()) return {};
    // A face let go is decoded for this part alone (a text beyond the up
    // face's pieces, the minute's once a minute; a whole paint; a part shown
    // again): about a millisecond. A press or the pointer on a button keeps
    // it a while, as the next parts will want it too.
    const bool interacting = Interacting();
    const bool downParked = skin_.DownParked;
    const bool usesDown = ComposeUsesDownFace(skin_, &area);
    if (usesDown) UnparkDownFace(skin_);
    std::vector<QRect> pieces;
    const bool upDecoded = !UpFaceCovers(skin_, area);
    if (upDecoded) {
        for (const QImage& piece : skin_.UpPieces) pieces.emplace_back(piece.offset(), piece.size());
        UnparkUpFace(skin_);
    }
    QImage part = ComposeFacePart(skin_, activeTrackBar_, faceSize_, area, &ItemAreas());
    if (!interacting) {
        if (usesDown && downParked) ParkDownFace(skin_);
        if (upDecoded) ParkUpFace(skin_, pieces);
    }
    const bool held = usesDown && !skin_.DownParked;
    const bool parkable = CanParkDownFace(skin_) || CanParkUpFace(skin_);
    if (interacting || held || (parkable && !parkTimer_->isActive())) parkTimer_->start();
    return part;
}

void TSkinForm::paintEvent(QPaintEvent* event) {
    QRegion region = event->region() & QRect(QPoint(0, 0), faceSize_);
    if (region.isEmpty()) return;
    if (region.rectCount() > kMaxPaintParts) region = region.boundingRect();
    QPainter painter(this);
    // Outside the outline the buffer stays as the toolkit cleared it: fully
    // transparent in a translucent window.
    if (coverage_.isNull() && !skin_.MaskImage.isNull()) painter.setClipRegion(region_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& area : region) {
        if (grayShown_)
            painter.drawImage(area.topLeft(), gray_, area);
        else
            DrawInBands(painter, area.topLeft(), ComposePart(area));
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    PaintFocusRing(painter);
    if (!coverage_.isNull()) {
        const QRect box = region.boundingRect();
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.drawImage(box.topLeft(), coverage_, box);
    }
}

std::vector<QRect> TSkinForm::TickedAreas() {
    // A text changed once a minute costs a decode a minute (about a
    // millisecond); a piece under the big time would cost 200 KiB for good.
    std::vector<QRect> areas;
    const std::vector<QRect>& now = ItemAreas();
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (i >= changesSincePark_.size() || changesSincePark_[i] < 2) continue;
        QRect area = now[i];
        if (i < knownAreas_.size())
            for (const auto& [text, known] : knownAreas_[i]) area |= known;
        areas.push_back(area);
    }
    changesSincePark_.assign(now.size(), 0);
    return areas;
}

void TSkinForm::ParkWhenIdle() {
    // A tick composes only texts, on the up face's pieces under them; the
    // faces wait as bytes until a press, the pointer, a switched-on area or
    // a text outside those pieces needs them.
    if (Interacting()) {
        parkTimer_->start();
        return;
    }
    ParkDownFace(skin_);
    ParkUpFace(skin_, TickedAreas());
    // What start-up and the last paints freed lies in holes of the heap, which
    // otherwise keeps their pages for the whole run.
    malloc_trim(0);
}

bool TSkinForm::Interacting() const {
    for (const HotAreaInfoRec& hot : skin_.HotAreas)
        if (hot.Pressed || hot.Hover) return true;
    return false;
}

}  // namespace tolvenmark
