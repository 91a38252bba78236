#include "skin/skin_form.h"

#include <cstdint>
#include <string>

#include <QMouseEvent>
#include <QToolTip>
#include <QWindow>

#include "skin/skin_spots.h"

// The skinned window's mouse handling: presses, moves and releases on hot
// areas, display items and track bars, and the window drag.

namespace tolvenmark {

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
        const SkinSpots spots(skin_, size());
        if (const int area = spots.HotAreaAt(pos); area >= 0) PressHotArea(area);
        if (const int item = spots.DisplayItemAt(pos); item >= 0) {
            areaHit_ = true;
            currentId_ = skin_.DisplayItems[static_cast<std::size_t>(item)].ID;
        }
        for (std::size_t i = 0; i < skin_.TrackBars.size(); ++i) {
            TrackBarInfoRec& bar = skin_.TrackBars[i];
            if (SkinSpots::OnThumb(bar, pos)) {
                currentId_ = bar.ID;
                dragging_ = true;
                activeTrackBar_ = static_cast<int>(i);
                grabOffset_ = SkinSpots::Along(bar, pos) - SkinSpots::BarStart(bar) - bar.Offset;
                Redraw();  // the pressed thumb
                break;
            }
            if (SkinSpots::OnTrack(bar, pos)) {
                currentId_ = bar.ID;
                SkinSpots::PlaceThumb(bar, std::int64_t{SkinSpots::Along(bar, pos)} - SkinSpots::BarStart(bar) -
                                               SkinSpots::ThumbSize(bar) / 2);
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
            const std::int64_t along = SkinSpots::Along(bar, pos);
            const std::int64_t start = SkinSpots::BarStart(bar);
            if (along >= start && along <= start + bar.Length) {
                currentId_ = bar.ID;
                SkinSpots::PlaceThumb(bar, along - start - grabOffset_);
                ClampTrackBar(bar);
                if (OnTrackBarNotify) OnTrackBarNotify(currentId_, bar.Position);
                Redraw();
            }
        }
    } else {
        for (const TrackBarInfoRec& bar : skin_.TrackBars) {
            if (!SkinSpots::OnTrack(bar, pos)) continue;
            hint_ = bar.Hint;
            hotCursor = true;
        }
    }

    std::size_t hovered = skin_.HotAreas.size();
    for (std::size_t i = 0; i < skin_.HotAreas.size(); ++i) {
        HotAreaInfoRec& area = skin_.HotAreas[i];
        const bool inside = SkinSpots::OnArea(area, pos);
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

    if (const int item = SkinSpots(skin_, size()).DisplayItemAt(pos); item >= 0) {
        currentId_ = skin_.DisplayItems[static_cast<std::size_t>(item)].ID;
        hint_ = skin_.DisplayItems[static_cast<std::size_t>(item)].Hint;
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

    const SkinSpots spots(skin_, size());
    if (const int area = spots.HotAreaAt(pos); area >= 0 && HotAreaId(area) == pressedId_) currentId_ = pressedId_;
    // Whatever the pointer passed over on its way, nothing stays pressed.
    for (HotAreaInfoRec& area : skin_.HotAreas) area.Pressed = false;
    if (const int item = spots.DisplayItemAt(pos); item >= 0)
        currentId_ = skin_.DisplayItems[static_cast<std::size_t>(item)].ID;
    Redraw();
    pressedId_.clear();

    if (OnMouseUpNotify) OnMouseUpNotify(currentId_, button, shift, pos.x(), pos.y());
}

void TSkinForm::SelectGroupMember(int index) {
    // A remembered member that this skin does not have selects nothing.
    if (const int old = SkinSpots::SelectGroupMember(skin_, index); old >= 0) SetHotAreaState(HotAreaId(old), false);
    Redraw();
}

void TSkinForm::ClampTrackBar(TrackBarInfoRec& bar) { SkinSpots::ClampPosition(bar); }

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
