#include "skin/skin_form_access.h"

#include <algorithm>
#include <map>

#include <QAccessibleWidget>
#include <QRegularExpression>
#include <QTimer>

#include "skin/skin_form.h"
#include "skin/skin_spots.h"

namespace tolvenmark {

namespace {

// The clock's own texts change by themselves, the seconds every second:
// announcing each change would drown everything else, so each is renewed at
// most once a minute. The pending alarm changes only when someone changes it.
constexpr std::chrono::minutes kClockTextPause{1};

bool IsAlarmItem(const std::string& id) { return id == "AL_HEADER" || id == "AL_DATE"; }

// The access of each live window. A window's own accessible object may be
// asked for its children while the window is being destroyed; by then it is
// no longer listed here and has none.
std::map<const QObject*, SkinFormAccess*>& LiveAccess() {
    static std::map<const QObject*, SkinFormAccess*> live;
    return live;
}

SkinFormAccess* AccessOf(const QObject* form) {
    const auto found = LiveAccess().find(form);
    return found == LiveAccess().end() ? nullptr : found->second;
}

// A hot area or a display item.
class SpotInterface : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    SpotInterface(SkinFormAccess& access, TSkinForm& form, bool hotArea, int index)
        : access_(access), form_(form), hotArea_(hotArea), index_(index) {}

    bool isValid() const override { return Count() > index_; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return form_.window()->windowHandle(); }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(&form_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        const Skin& skin = form_.CurrentSkin();
        if (hotArea_) {
            const HotAreaInfoRec& area = skin.HotAreas[Index()];
            if (t != QAccessible::Name) return {};
            return QString::fromStdString(area.Hint.empty() ? area.ID : area.Hint);
        }
        const DisplayInfoRec& item = skin.DisplayItems[Index()];
        if (t == QAccessible::Name) return access_.SpokenText(index_);
        if (t == QAccessible::Description) return QString::fromStdString(item.Hint);
        return {};
    }

    QRect rect() const override {
        if (!isValid()) return {};
        const QRect box = hotArea_ ? form_.HotAreaBox(index_) : form_.DisplayItemBox(index_);
        return QRect(form_.mapToGlobal(box.topLeft()), box.size());
    }

    // A switch is a check box to assistive technology, which then tells its state.
    QAccessible::Role role() const override {
        if (!hotArea_) return QAccessible::StaticText;
        return isValid() && form_.CurrentSkin().HotAreas[Index()].HasState ? QAccessible::CheckBox : QAccessible::Button;
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        if (!form_.isVisible()) {
            state.invisible = true;
            state.offscreen = true;
        }
        if (!hotArea_) {
            state.readOnly = true;
            return state;
        }
        const HotAreaInfoRec& area = form_.CurrentSkin().HotAreas[Index()];
        state.focusable = true;
        state.focused = form_.hasFocus() && form_.FocusedHotArea() == index_;
        state.pressed = area.Pressed;
        state.checkable = area.HasState;
        state.checked = area.HasState && area.State;
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (hotArea_ && type == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    // A switch (a hot area with a state) toggles as it presses.
    QStringList actionNames() const override {
        if (isValid() && form_.CurrentSkin().HotAreas[Index()].HasState) return {pressAction(), toggleAction()};
        return {pressAction()};
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    void doAction(const QString& name) override {
        if (!actionNames().contains(name)) return;
        // Later, as a click comes: a command may open a modal dialog, and the
        // reader that asked must have its answer first.
        QMetaObject::invokeMethod(
            &form_, [form = &form_, index = index_] { form->ClickHotArea(index); }, Qt::QueuedConnection);
    }

private:
    std::size_t Index() const { return static_cast<std::size_t>(index_); }
    int Count() const {
        const Skin& skin = form_.CurrentSkin();
        return static_cast<int>(hotArea_ ? skin.HotAreas.size() : skin.DisplayItems.size());
    }

    SkinFormAccess& access_;
    TSkinForm& form_;
    bool hotArea_;
    int index_;
};

// The window itself: a pane whose children are its spots.
class FormInterface : public QAccessibleWidget {
public:
    explicit FormInterface(QWidget* form) : QAccessibleWidget(form, QAccessible::Pane) {}

    int childCount() const override {
        SkinFormAccess* access = AccessOf(object());
        return access ? access->Count() : 0;
    }
    QAccessibleInterface* child(int position) const override {
        SkinFormAccess* access = AccessOf(object());
        return access ? access->Child(position) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        SkinFormAccess* access = AccessOf(object());
        return access ? access->PositionOf(child) : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface* spot = child(i); spot->rect().contains(x, y)) return spot;
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        SkinFormAccess* access = AccessOf(object());
        auto* form = static_cast<TSkinForm*>(widget());
        if (access && form->hasFocus() && form->FocusedHotArea() >= 0)
            if (QAccessibleInterface* spot = access->HotAreaChild(form->FocusedHotArea())) return spot;
        return QAccessibleWidget::focusChild();
    }
};

QAccessibleInterface* SkinFormFactory(const QString&, QObject* object) {
    if (AccessOf(object)) return new FormInterface(static_cast<QWidget*>(object));
    return nullptr;
}

}  // namespace

SkinFormAccess::SkinFormAccess(TSkinForm& form) : form_(form), speakTimer_(new QTimer(&form)) {
    speakTimer_->setSingleShot(true);
    QObject::connect(speakTimer_, &QTimer::timeout, &form, [this] { SpeakDue(); });
    static const bool installed = [] {
        QAccessible::installFactory(SkinFormFactory);
        return true;
    }();
    (void)installed;
    LiveAccess()[&form] = this;
    // An object asked for while the window was being built got a plain widget's.
    QAccessibleInterface* own = QAccessible::queryAccessibleInterface(&form);
    if (own && !dynamic_cast<FormInterface*>(own)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(own));
    }
}

SkinFormAccess::~SkinFormAccess() {
    LiveAccess().erase(&form_);
    SkinChanged();
}

const std::vector<SkinSpot>& SkinFormAccess::Spots() {
    if (spotsKnown_) return spots_;
    // Read as the keyboard visits them: one order for both.
    spots_ = SkinSpots(form_.CurrentSkin(), form_.size()).ReadingOrder();
    ids_.assign(spots_.size(), 0);
    spotsKnown_ = true;
    return spots_;
}

int SkinFormAccess::Count() { return static_cast<int>(Spots().size()); }

QAccessibleInterface* SkinFormAccess::Child(int position) {
    if (position < 0 || position >= Count()) return nullptr;
    QAccessible::Id& id = ids_[static_cast<std::size_t>(position)];
    if (id == 0) {
        const SkinSpot spot = spots_[static_cast<std::size_t>(position)];
        id = QAccessible::registerAccessibleInterface(new SpotInterface(*this, form_, spot.hotArea, spot.index));
    }
    return QAccessible::accessibleInterface(id);
}

int SkinFormAccess::PositionOf(const QAccessibleInterface* child) {
    for (int i = 0; i < Count(); ++i)
        if (ids_[static_cast<std::size_t>(i)] != 0 && QAccessible::accessibleInterface(ids_[static_cast<std::size_t>(i)]) == child)
            return i;
    return -1;
}

int SkinFormAccess::PositionOfSpot(bool hotArea, int index) {
    const std::vector<SkinSpot>& spots = Spots();
    for (std::size_t i = 0; i < spots.size(); ++i)
        if (spots[i].hotArea == hotArea && spots[i].index == index) return static_cast<int>(i);
    return -1;
}

QAccessibleInterface* SkinFormAccess::HotAreaChild(int index) { return Child(PositionOfSpot(true, index)); }

void SkinFormAccess::SkinChanged() {
    for (QAccessible::Id id : ids_)
        if (id != 0) QAccessible::deleteAccessibleInterface(id);
    ids_.clear();
    spots_.clear();
    spotsKnown_ = false;
    ResetSpoken();
    if (AccessOf(&form_)) {
        QAccessibleEvent event(&form_, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&event);
    }
}

void SkinFormAccess::Announce(QAccessibleInterface* child, QAccessible::Event type) {
    if (!child) return;
    QAccessibleEvent event(child, type);
    QAccessible::updateAccessibility(&event);
}

void SkinFormAccess::ResetSpoken() {
    const auto& items = form_.CurrentSkin().DisplayItems;
    spoken_.clear();
    for (const DisplayInfoRec& item : items) spoken_.push_back(item.Text);
    spokenAt_.assign(items.size(), std::chrono::steady_clock::now() - kClockTextPause);
}

QString SkinFormAccess::SpokenText(int item) {
    if (spoken_.size() != form_.CurrentSkin().DisplayItems.size()) ResetSpoken();
    if (item < 0 || item >= static_cast<int>(spoken_.size())) return {};
    const QString text = QString::fromStdString(spoken_[static_cast<std::size_t>(item)]).trimmed();
    // "15" alone does not say what it counts.
    static const QRegularExpression number(QStringLiteral("^\\d+$"));
    if (form_.CurrentSkin().DisplayItems[static_cast<std::size_t>(item)].ID == "SECONDS" && number.match(text).hasMatch())
        return text + " seconds";
    return text;
}

void SkinFormAccess::TextChanged() {
    if (spoken_.size() != form_.CurrentSkin().DisplayItems.size()) ResetSpoken();
    SpeakDue();
}

void SkinFormAccess::SpeakDue() {
    const auto& items = form_.CurrentSkin().DisplayItems;
    if (spoken_.size() != items.size()) return;  // a load came between; it reset them
    const auto now = std::chrono::steady_clock::now();
    auto wait = std::chrono::steady_clock::duration::max();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].Text == spoken_[i]) continue;
        const auto due = spokenAt_[i] + kClockTextPause;
        if (IsAlarmItem(items[i].ID) || due <= now) {
            spoken_[i] = items[i].Text;
            spokenAt_[i] = now;
            Announce(Child(PositionOfSpot(false, static_cast<int>(i))), QAccessible::NameChanged);
        } else {
            wait = std::min(wait, due - now);
        }
    }
    // Hidden, what the pause held back waits for the next change once shown:
    // no timer wakes a clock in the tray for it.
    if (wait == std::chrono::steady_clock::duration::max() || !form_.isVisible()) {
        speakTimer_->stop();
        return;
    }
    if (!speakTimer_->isActive())
        speakTimer_->start(static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
}

void SkinFormAccess::Hidden() { speakTimer_->stop(); }

void SkinFormAccess::StateChanged(int area) {
    QAccessibleInterface* child = HotAreaChild(area);
    if (!child) return;
    QAccessible::State changed;
    changed.checked = true;
    changed.pressed = true;
    QAccessibleStateChangeEvent event(child, changed);
    QAccessible::updateAccessibility(&event);
}

void SkinFormAccess::FocusMoved(int area) {
    Announce(HotAreaChild(area), QAccessible::Focus);
}

}  // namespace tolvenmark
