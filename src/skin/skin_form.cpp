#include "skin/skin_form.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include "platform/conversion_error.h"
#include "platform/prompts.h"
#include "skin/face_parking.h"
#include "skin/skin_form_access.h"
#include "skin/skin_painter.h"
#include "skin/skin_reader.h"
#include "skin/window_shape.h"

namespace tolvenmark {

namespace {

// Every live skinned window, in order of creation: greying out reaches all of
// them, and the application's state handler is the newest one's.
std::vector<TSkinForm*>& LiveForms() {
    static std::vector<TSkinForm*> forms;
    return forms;
}

QObject* stateSource = nullptr;

void WatchApplicationState() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || stateSource == app) return;
    stateSource = app;
    QObject::connect(app, &QGuiApplication::applicationStateChanged, app,
                     [](Qt::ApplicationState state) {
                         TSkinForm::ApplicationActivated(state == Qt::ApplicationActive);
                     });
    QObject::connect(app, &QObject::destroyed, [] { stateSource = nullptr; });
}

// How long a face stays decoded after its last use.
constexpr int kParkAfterMs = 10000;

}  // namespace

TSkinForm::TSkinForm(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    LiveForms().push_back(this);
    WatchApplicationState();
    access_ = std::make_unique<SkinFormAccess>(*this);
    parkTimer_ = new QTimer(this);
    parkTimer_->setSingleShot(true);
    parkTimer_->setTimerType(Qt::VeryCoarseTimer);
    parkTimer_->setInterval(kParkAfterMs);
    connect(parkTimer_, &QTimer::timeout, this, [this] { ParkWhenIdle(); });
}

TSkinForm::~TSkinForm() {
    access_.reset();
    auto& forms = LiveForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

void TSkinForm::SetGrayout(bool on) {
    grayout_ = on;
    if (!on) {
        grayoutAll_ = false;
        if (grayShown_) {
            grayShown_ = false;
            Redraw();
        }
    }
}

void TSkinForm::SetGrayoutAll(bool on) {
    grayoutAll_ = on;
    if (on) grayout_ = true;
}

void TSkinForm::LoadSkin(const std::string& skinFile) {
    // A picture the new skin does not load keeps the old one's pixels.
    UnparkDownFace(skin_);
    UnparkUpFace(skin_);
    Skin built = BuildSkinFromFile(skinFile, skin_, AppPrompts());
    if (CountMaskRuns(built.MaskImage, keyColor_, tolerance_) > kMaxOutlineRuns)
        throw OperationError("The mask of the skin " + skinFile + " cuts the window into more than " +
                             std::to_string(kMaxOutlineRuns) + " pieces, more than a window system can hold.");
    skinFile_ = skinFile;
    AssignSkin(std::move(built));
}

void TSkinForm::LoadDefaultSkin() {
    UnparkDownFace(skin_);
    UnparkUpFace(skin_);
    Skin built = BuildDefaultSkin(skin_, AppPrompts());
    resourceName_ = "Skin";
    AssignSkin(std::move(built));
}

void TSkinForm::SetElidedItems(std::vector<std::string> ids) {
    elidedItems_ = std::move(ids);
    for (DisplayInfoRec& item : skin_.DisplayItems)
        item.Elide = std::find(elidedItems_.begin(), elidedItems_.end(), item.ID) != elidedItems_.end();
    itemAreas_.clear();
    knownAreas_.clear();
    Redraw();
}

void TSkinForm::AssignSkin(Skin skin) {
    for (DisplayInfoRec& item : skin.DisplayItems)
        item.Elide = std::find(elidedItems_.begin(), elidedItems_.end(), item.ID) != elidedItems_.end();
    PrepareForPainting(skin);
    skin_ = std::move(skin);
    activeTrackBar_ = -1;
    dragging_ = false;
    // The areas the keyboard knew belong to the old skin.
    tabOrderKnown_ = false;
    ringArea_ = -1;
    keyPressedArea_ = -1;
    ApplyMask();
    access_->SkinChanged();
    Redraw();
    if (OnSkinChanged) OnSkinChanged(this);
}

int TSkinForm::FindHotArea(const std::string& id) const {
    for (std::size_t i = 0; i < skin_.HotAreas.size(); ++i)
        if (skin_.HotAreas[i].ID == id) return static_cast<int>(i);
    return -1;
}

std::string TSkinForm::HotAreaId(int index) const {
    if (index < 0 || index >= static_cast<int>(skin_.HotAreas.size())) return "";
    return skin_.HotAreas[static_cast<std::size_t>(index)].ID;
}

void TSkinForm::SetHotAreaState(const std::string& id, bool state) {
    const int index = FindHotArea(id);
    if (index < 0) return;
    HotAreaInfoRec& area = skin_.HotAreas[static_cast<std::size_t>(index)];
    if (area.State == state) return;
    area.State = state;
    // Within the area's box, not beyond: edges are summed in 64 bits.
    const std::int64_t left = std::max<std::int64_t>(area.X, 0);
    const std::int64_t top = std::max<std::int64_t>(area.Y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{area.X} + area.Width, faceSize_.width());
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{area.Y} + area.Height, faceSize_.height());
    if (left < right && top < bottom)
        MarkStale(QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                        static_cast<int>(bottom - top)));
    HotAreaStateChanged(index);
}

bool TSkinForm::GetHotAreaState(const std::string& id) const {
    const int index = FindHotArea(id);
    return index >= 0 && skin_.HotAreas[static_cast<std::size_t>(index)].State;
}

void TSkinForm::SetDisplayText(const std::string& id, const std::string& text) {
    for (std::size_t i = 0; i < skin_.DisplayItems.size(); ++i) {
        DisplayInfoRec& item = skin_.DisplayItems[i];
        if (item.ID != id) continue;
        if (item.Text == text) return;
        const QRect before = ItemAreas()[i];
        item.Text = text;
        itemAreas_[i] = ItemArea(i);
        changesSincePark_.resize(skin_.DisplayItems.size());
        ++changesSincePark_[i];
        MarkStale(before | itemAreas_[i]);
        access_->TextChanged();
        return;
    }
}

void TSkinForm::ApplyMask() {
    const QImage& mask = skin_.MaskImage;
    const QSize size = mask.isNull() ? QSize(0, 0) : mask.size();
    faceSize_ = size;
    gray_ = QImage();
    grayShown_ = false;
    itemAreas_.clear();  // the skin or the face's size changed
    knownAreas_.clear();
    // A ragged outline as a region would take gigabytes here and more than
    // the window system takes in one request; it goes as a bitmap.
    const bool ragged = CountMaskRuns(mask, keyColor_, tolerance_) > kMaxOutlineRects;
    region_ = ragged ? QRegion(mask.rect()) : MaskToRegion(mask, keyColor_, tolerance_);

    coverage_ = ragged ? MaskAlpha(mask, keyColor_, tolerance_) : QImage();

    setFixedSize(size);
    QWidget* top = window();
    if (top != this) top->setFixedSize(size);
    // The window needs an alpha channel from its creation for the cut-away
    // pixels to show what lies behind (Wayland has no window shapes); on X11
    // without a compositor the shape below still cuts them away.
    if (!top->windowFlags().testFlag(Qt::FramelessWindowHint) || !top->testAttribute(Qt::WA_TranslucentBackground)) {
        const bool visible = top->isVisible();
        top->setAttribute(Qt::WA_TranslucentBackground, true);
        top->setWindowFlag(Qt::FramelessWindowHint, true);
        if (visible) top->show();
    }
    if (mask.isNull()) {
        top->clearMask();
    } else if (ragged) {
        top->clearMask();
        // Elsewhere only the pointer feels a mask: the window keeps its box.
        ShapeX11WindowWithBitmap(top, MaskBitmap(mask, keyColor_, tolerance_), mapTo(top, QPoint(0, 0)));
    } else if (region_.isEmpty()) {
        // An empty mask region would mean "no mask" to the toolkit; a mask
        // wholly key-coloured makes the window invisible, so cut it to a
        // pixel outside the window instead.
        top->setMask(QRegion(-1, -1, 1, 1));
    } else {
        top->setMask(region_.translated(mapTo(top, QPoint(0, 0))));
    }
}

void TSkinForm::ShowGrayFace() {
    if (grayShown_) return;
    gray_ = Face();
    MakeGrayscale(gray_);
    grayShown_ = true;
    // Nothing is composed until the face is restored: no timer needs to wake
    // a clock that went to the tray to let go of the faces.
    if (!Interacting()) {
        parkTimer_->stop();
        ParkWhenIdle();
    }
    update();
}

void TSkinForm::GrayOut() {
    if (!grayout_) return;
    if (!grayoutAll_) {
        ShowGrayFace();
        return;
    }
    for (TSkinForm* form : LiveForms()) form->ShowGrayFace();
}

void TSkinForm::RestoreFace() {
    if (!grayout_) return;
    const std::vector<TSkinForm*> targets = grayoutAll_ ? LiveForms() : std::vector<TSkinForm*>{this};
    for (TSkinForm* form : targets) {
        form->grayShown_ = false;
        form->gray_ = QImage();
        form->Redraw();
    }
}

void TSkinForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    access_->Hidden();
}

void TSkinForm::ApplicationActivated(bool active) {
    applicationActive_ = active;
    if (LiveForms().empty()) return;
    TSkinForm* handler = LiveForms().back();
    if (active)
        handler->RestoreFace();
    else
        handler->GrayOut();
}

}  // namespace tolvenmark
