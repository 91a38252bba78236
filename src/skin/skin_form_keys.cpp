#include <algorithm>
#include <cstdint>

#include <QKeyEvent>
#include <QPainter>

#include "skin/skin_form.h"
#include "skin/skin_form_access.h"
#include "skin/skin_painter.h"
#include "skin/skin_spots.h"

// The skinned window's keyboard: the focus ring over the hot areas, presses
// by key, and keys that stand for a spot's command.

namespace tolvenmark {

namespace {

bool IsPressKey(int key) { return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter; }

// The skin's text colour, so the ring belongs to the face; black on a skin without texts.
QColor RingColor(const Skin& skin) {
    if (skin.DisplayItems.empty()) return Qt::black;
    // A system colour reference names the desktop's colour, as the texts draw it.
    return SkinQColor(skin.DisplayItems.front().Font.Color);
}

constexpr int kRingWidth = 2;

}  // namespace

QRect TSkinForm::HotAreaBox(int index) const { return SkinSpots(skin_, size()).HotAreaBox(index); }

QRect TSkinForm::DisplayItemBox(int index) const { return SkinSpots(skin_, size()).DisplayItemBox(index); }

const std::vector<int>& TSkinForm::TabOrder() {
    if (tabOrderKnown_) return tabOrder_;
    // An area outside the window cannot be clicked either.
    tabOrder_ = SkinSpots(skin_, size()).FocusOrder();
    tabOrderKnown_ = true;
    return tabOrder_;
}

void TSkinForm::HotAreaStateChanged(int index) { access_->StateChanged(index); }

bool TSkinForm::focusNextPrevChild(bool next) {
    const std::vector<int>& order = TabOrder();
    if (order.empty()) return QWidget::focusNextPrevChild(next);
    ReleaseKeyArea(Qt::NoModifier, false);
    const auto at = std::find(order.begin(), order.end(), ringArea_);
    const int count = static_cast<int>(order.size());
    int position = 0;
    if (at == order.end())
        position = next ? 0 : count - 1;
    else
        position = (static_cast<int>(at - order.begin()) + (next ? 1 : count - 1)) % count;
    ringShown_ = true;
    MoveFocusRing(order[static_cast<std::size_t>(position)]);
    return true;
}

void TSkinForm::MoveFocusRing(int index) {
    if (index < 0) return;
    UpdateFocusRing();
    ringArea_ = index;
    UpdateFocusRing();
    access_->FocusMoved(index);
}

void TSkinForm::UpdateFocusRing() {
    if (ringArea_ >= 0) update(HotAreaBox(ringArea_));
}

void TSkinForm::PaintFocusRing(QPainter& painter) {
    if (!ShowsFocusRing() || !hasFocus() || grayShown_) return;
    const QRect box = HotAreaBox(ringArea_);
    if (box.width() <= 2 * kRingWidth || box.height() <= 2 * kRingWidth) return;
    // A line in the skin's colour with one in the opposite colour inside it,
    // so it shows on light and dark faces alike.
    const QColor color = RingColor(skin_);
    const QColor opposite(255 - color.red(), 255 - color.green(), 255 - color.blue());
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(color, kRingWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(QRectF(box).adjusted(kRingWidth / 2.0, kRingWidth / 2.0, -kRingWidth / 2.0, -kRingWidth / 2.0));
    painter.setPen(QPen(opposite, 1, Qt::DotLine));
    painter.drawRect(QRectF(box).adjusted(kRingWidth + 0.5, kRingWidth + 0.5, -kRingWidth - 0.5, -kRingWidth - 0.5));
}

void TSkinForm::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (IsPressKey(key)) {
        if (!event->isAutoRepeat() && keyPressedArea_ < 0) {
            if (ringArea_ < 0 || !ringShown_) {
                // The first key only shows where the keyboard is.
                ringShown_ = true;
                MoveFocusRing(ringArea_ >= 0 ? ringArea_ : TabOrder().empty() ? -1 : TabOrder().front());
            } else {
                PressKeyArea(ringArea_, event->modifiers());
            }
        }
        return;
    }
    const bool back = key == Qt::Key_Left || key == Qt::Key_Up;
    if (back || key == Qt::Key_Right || key == Qt::Key_Down) {
        focusNextPrevChild(!back);
        return;
    }
    if (const auto command = keyCommands_.find(key); command != keyCommands_.end()) {
        if (OnMouseUpNotify) OnMouseUpNotify(command->second, Qt::NoButton, event->modifiers(), 0, 0);
        return;
    }
    QWidget::keyPressEvent(event);
}

void TSkinForm::keyReleaseEvent(QKeyEvent* event) {
    if (IsPressKey(event->key()) && !event->isAutoRepeat()) {
        ReleaseKeyArea(event->modifiers(), true);
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void TSkinForm::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (ShowsFocusRing()) MoveFocusRing(ringArea_);
}

void TSkinForm::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    // A key held while the focus left ends as a slide off the button does.
    ReleaseKeyArea(Qt::NoModifier, false);
    UpdateFocusRing();
}

void TSkinForm::PressKeyArea(int index, Qt::KeyboardModifiers shift) {
    if (index < 0 || index >= static_cast<int>(skin_.HotAreas.size())) return;
    keyPressedArea_ = index;
    currentId_.clear();
    dragging_ = false;
    activeTrackBar_ = -1;
    PressHotArea(keyPressedArea_);
    const QPoint middle = HotAreaBox(keyPressedArea_).center();
    if (OnMouseDownNotify) OnMouseDownNotify(currentId_, Qt::LeftButton, shift, middle.x(), middle.y());
}

void TSkinForm::ReleaseKeyArea(Qt::KeyboardModifiers shift, bool report) {
    if (keyPressedArea_ < 0) return;
    const int index = keyPressedArea_;
    keyPressedArea_ = -1;
    if (index >= static_cast<int>(skin_.HotAreas.size())) return;
    currentId_ = report ? skin_.HotAreas[static_cast<std::size_t>(index)].ID : std::string();
    areaHit_ = false;
    for (HotAreaInfoRec& area : skin_.HotAreas) area.Pressed = false;
    Redraw();
    pressedId_.clear();
    HotAreaStateChanged(index);
    const QPoint middle = HotAreaBox(index).center();
    if (report && OnMouseUpNotify) OnMouseUpNotify(currentId_, Qt::LeftButton, shift, middle.x(), middle.y());
}

void TSkinForm::ClickHotArea(int index) {
    if (index < 0 || index >= static_cast<int>(skin_.HotAreas.size()) || keyPressedArea_ >= 0) return;
    PressKeyArea(index, Qt::NoModifier);
    ReleaseKeyArea(Qt::NoModifier, true);
}

}  // namespace tolvenmark
