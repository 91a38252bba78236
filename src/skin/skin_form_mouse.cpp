#include "skin/skin_form.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include <QMouseEvent>
#include <QToolTip>
#include <QWindow>

// The skinned window's mouse handling: presses, moves and releases on hot
// areas, display items and track bars, and the window drag.

namespace tolvenmark {

namespace {

// X <= px < X + width and Y <= py < Y + height; wide enough for damaged skins.
bool InBox(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height, QPoint p) {
    return p.x() >= x && p.x() < x + width && p.y() >= y && p.y() < y + height;
}

bool OnArea(const HotAreaInfoRec& a, QPoint p) { return InBox(a.X, a.Y, a.Width, a.Height, p); }
bool OnItem(const DisplayInfoRec& d, QPoint p) { return InBox(d.X, d.Y, d.Width, d.Height, p); }

bool OnThumb(const TrackBarInfoRec& t, QPoint p) {
    return t.Horizontal ? InBox(std::int64_t{t.X} + t.Offset, t.Y, t.ThumbWidth, t.ThumbHeight, p)
                        : InBox(t.X, std::int64_t{t.Y} + t.Offset, t.ThumbWidth, t.ThumbHeight, p);
}

bool OnTrack(const TrackBarInfoRec& t, QPoint p) {
    return t.Horizontal ? InBox(t.X, t.Y, t.Length, t.ThumbHeight, p)
                        : InBox(t.X, t.Y, t.ThumbWidth, t.Length, p);
}

int ThumbSize(const TrackBarInfoRec& t) { return t.Horizontal ? t.ThumbWidth : t.ThumbHeight; }
int BarStart(const TrackBarInfoRec& t) { return t.Horizontal ? t.X : t.Y; }
int Along(const TrackBarInfoRec& t, QPoint p) { return t.Horizontal ? p.x() : p.y(); }

// The thumb's travel. A track no longer than its thumb has none: such a bar
// stays at position 0 instead of dividing by zero.
std::int64_t Span(const TrackBarInfoRec& t) {
    return std::max<std::int64_t>(0, std::int64_t{t.Length} - ThumbSize(t));
}

// Sets the offset (kept within the travel) and the position it gives.
void PlaceThumb(TrackBarInfoRec& t, std::int64_t offset) {
    const std::int64_t span = Span(t);
    offset = std::clamp<std::int64_t>(offset, 0, span);
    t.Offset = static_cast<std::int32_t>(offset);
    t.Position = span > 0 ? static_cast<std::uint8_t>(offset * 100 / span) : 0;
}

}  // namespace

void TSkinForm::mousePressEvent(QMouseEvent* event) {
    // The ring shows only while the keyboard is in use.
    if (ringShown_) {
        ringShown_ = false;
        UpdateFocusRing();
    }
    HandlePress(event->button(), event->modifiers(), event->position().toPoint(),
                event->globalPosition().toPoint());
}

void TSkinForm::mouseMoveEvent(QMouseEvent* event) {
    if (manualMove_) {
        if (event->buttons() & Qt::LeftButton) {
            window()->move(moveStartWindow_ + event->globalPosition().toPoint() - moveStartGlobal_);
            return;
        }
        manualMove_ = false;
    }
    if (!applicationActive_) return;
    HandleMove(event->modifiers(), event->position().toPoint(), event->globalPosition().toPoint());
}

void TSkinForm::mouseReleaseEvent(QMouseEvent* event) {
    if (manualMove_) {
        // The release that ends a window drag belongs to the drag, as it
        // does when the platform moves the window.
        if (event->button() == Qt::LeftButton) manualMove_ = false;
        return;
    }
    HandleRelease(event->button(), event->modifiers(), event->position().toPoint());
}

void TSkinForm::HandlePress(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos,
                            QPoint globalPos) {
    currentId_.clear();
    areaHit_ = false;
    dragging_ = false;
    activeTrackBar_ = -1;

    if (button == Qt::LeftButton) {
        for (std::size_t i = 0; i < skin_.HotAreas.size(); ++i) {
            if (!OnArea(skin_.HotAreas[i], pos)) continue;
            PressHotArea(static_cast<int>(i));
            break;
        }
        for (const DisplayInfoRec& item : skin_.DisplayItems) {
            if (!OnItem(item, pos)) continue;
            areaHit_ = true;
            currentId_ = item.ID;
            break;
        }
        for (std::size_t i = 0; i < skin_.TrackBars.size(); ++i) {
            TrackBarInfoRec& bar = skin_.TrackBars[i];
            if (OnThumb(bar, pos)) {
                currentId_ = bar.ID;
                dragging_ = true;
                activeTrackBar_ = static_cast<int>(i);
                grabOffset_ = Along(bar, pos) - BarStart(bar) - bar.Offset;
                Redraw();  // the pressed thumb
                break;
            }
            if (OnTrack(bar, pos)) {
                currentId_ = bar.ID;
                PlaceThumb(bar, std::int64_t{Along(bar, pos)} - BarStart(bar) - ThumbSize(bar) / 2);
                ClampTrackBar(bar);
                if (OnTrackBarNotify) OnTrackBarNotify(currentId_, bar.Position);
                Redraw();
                break;
            }
        }
        // A press on no spot (a track outside its thumb included) drags the window.
        if (!areaHit_ && !dragging_) StartWindowMove(globalPos);
    }

    if (OnMouseDownNotify) OnMouseDownNotify(currentId_, button, shift, pos.x(), pos.y());
}

void TSkinForm::PressHotArea(int index) {
    HotAreaInfoRec& pressed = skin_.HotAreas[static_cast<std::size_t>(index)];
    areaHit_ = true;
    pressed.Pressed = true;
    currentId_ = pressed.ID;
    pressedId_ = pressed.ID;
    if (!pressed.Group.empty()) SelectGroupMember(index);
    HotAreaInfoRec& area = skin_.HotAreas[static_cast<std::size_t>(index)];  // the group step may repaint, never resize
    if (area.HasState) area.State = !area.State;
    Redraw();
    HotAreaStateChanged(index);
}

void TSkinForm::HandleMove(Qt::KeyboardModifiers shift, QPoint pos, QPoint globalPos) {
    bool hotCursor = false;
    hint_.clear();
    prevWebHover_ = webHover_;
    currentId_.clear();

    if (dragging_) {
        hotCursor = true;
        if (activeTrackBar_ >= 0 && activeTrackBar_ < static_cast<int>(skin_.TrackBars.size())) {
            TrackBarInfoRec& bar = skin_.TrackBars[static_cast<std::size_t>(activeTrackBar_)];
            const std::int64_t along = Along(bar, pos);
            const std::int64_t start = BarStart(bar);
            if (along >= start && along <= start + bar.Length) {
                currentId_ = bar.ID;
                PlaceThumb(bar, along - start - grabOffset_);
                ClampTrackBar(bar);
                if (OnTrackBarNotify) OnTrackBarNotify(currentId_, bar.Position);
                Redraw();
            }
        }
    } else {
        for (const TrackBarInfoRec& bar : skin_.TrackBars) {
            if (!OnTrack(bar, pos)) continue;
            hint_ = bar.Hint;
            hotCursor = true;
        }
    }

    std::size_t hovered = skin_.HotAreas.size();
    for (std::size_t i = 0; i < skin_.HotAreas.size(); ++i) {
        HotAreaInfoRec& area = skin_.HotAreas[i];
        const bool inside = OnArea(area, pos);
        const bool wasHover = area.Hover;
        area.Hover = false;
        if (inside && webHotSpot_) {
            area.Hover = true;
            hotCursor = true;
            currentId_ = area.ID;
            webHover_ = true;
            if (pressedId_ == area.ID || skin_.DistinctHover || !wasHover) Redraw();
            hint_ = area.Hint;
            hovered = i;
            break;
        }
        if (wasHover) Redraw();
        if (!inside && area.Pressed) {
            // Sliding off a pressed button lifts it.
            area.Pressed = false;
            Redraw();
        }
        webHover_ = false;
    }
    // Only one area is under the pointer: a later one hovered before lets go too.
    for (std::size_t i = hovered + 1; i < skin_.HotAreas.size(); ++i) {
        if (!skin_.HotAreas[i].Hover) continue;
        skin_.HotAreas[i].Hover = false;
        Redraw();
    }

    for (const DisplayInfoRec& item : skin_.DisplayItems) {
        if (!OnItem(item, pos)) continue;
        currentId_ = item.ID;
        hint_ = item.Hint;
        break;
    }

    if (prevWebHover_ != webHover_) Redraw();

    if (hotCursor)
        setCursor(hotSpotCursor_);
    else
        unsetCursor();
    ShowHint(globalPos);

    if (OnMouseMoveNotify) OnMouseMoveNotify(currentId_, shift, pos.x(), pos.y());
}

void TSkinForm::HandleRelease(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos) {
    currentId_.clear();
    areaHit_ = false;
    dragging_ = false;
    activeTrackBar_ = -1;

    for (HotAreaInfoRec& area : skin_.HotAreas) {
        if (!OnArea(area, pos)) continue;
        if (pressedId_ == area.ID) currentId_ = area.ID;
        break;
    }
    // Whatever the pointer passed over on its way, nothing stays pressed.
    for (HotAreaInfoRec& area : skin_.HotAreas) area.Pressed = false;
    for (const DisplayInfoRec& item : skin_.DisplayItems) {
        if (!OnItem(item, pos)) continue;
        currentId_ = item.ID;
        break;
    }
    Redraw();
    pressedId_.clear();

    if (OnMouseUpNotify) OnMouseUpNotify(currentId_, button, shift, pos.x(), pos.y());
}

void TSkinForm::SelectGroupMember(int index) {
    const std::string& group = skin_.HotAreas[static_cast<std::size_t>(index)].Group;
    const auto found = std::find(skin_.GroupNames.begin(), skin_.GroupNames.end(), group);
    if (found == skin_.GroupNames.end()) return;
    const std::size_t g = static_cast<std::size_t>(found - skin_.GroupNames.begin());
    if (g >= skin_.GroupSelection.size()) skin_.GroupSelection.resize(g + 1, "-1");

    int old = -1;
    try {
        old = std::stoi(skin_.GroupSelection[g]);
    } catch (const std::exception&) {
        old = -1;
    }
    skin_.GroupSelection[g] = std::to_string(index);
    // A remembered member that this skin does not have selects nothing.
    if (old >= 0 && old < static_cast<int>(skin_.HotAreas.size()))
        SetHotAreaState(HotAreaId(old), false);
    Redraw();
}

void TSkinForm::ClampTrackBar(TrackBarInfoRec& bar) {
    int position = std::max<int>(bar.Position, bar.MinPosition);
    position = std::min<int>(position, bar.MaxPosition);
    position %= 101;
    bar.Position = static_cast<std::uint8_t>(position);
    bar.Offset = static_cast<std::int32_t>(position * Span(bar) / 100);
}

void TSkinForm::StartWindowMove(QPoint globalPos) {
    QWidget* top = window();
    if (QWindow* handle = top->windowHandle(); handle && handle->startSystemMove()) return;
    manualMove_ = true;
    moveStartGlobal_ = globalPos;
    moveStartWindow_ = top->pos();
}

void TSkinForm::ShowHint(QPoint globalPos) {
    if (hint_ == shownHint_) return;
    shownHint_ = hint_;
    if (hint_.empty())
        QToolTip::hideText();
    else
        QToolTip::showText(globalPos, QString::fromStdString(hint_), this, QRect(), 1000);
}

}  // namespace tolvenmark
