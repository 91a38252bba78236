#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QWidget>

#include "skin/mask_region.h"
#include "skin/skin_data.h"

class QPainter;
class QTimer;

namespace tolvenmark {

class TSkinForm;
class SkinFormAccess;

// The mouse notifications carry the ID of the spot under the pointer
// (a hot area, a display item or a track bar), "" when there is none.
using TMouseDownNotify = std::function<void(const std::string& id, Qt::MouseButton button,
                                            Qt::KeyboardModifiers shift, int x, int y)>;
using TMouseUpNotify = TMouseDownNotify;
using TMouseMoveNotify =
    std::function<void(const std::string& id, Qt::KeyboardModifiers shift, int x, int y)>;
using TTrackBarNotify = std::function<void(const std::string& id, int position)>;
using TSkinNotify = std::function<void(TSkinForm* sender)>;

// The skinned window: cuts its top-level window to the skin's mask, shows the
// skin's face and reports presses, releases and moves on the skin's spots.
// A press on no spot drags the whole window. Any widget can hold it; it makes
// its top-level window frameless and mask-sized at every load.
class TSkinForm : public QWidget {
public:
    explicit TSkinForm(QWidget* parent = nullptr);
    ~TSkinForm() override;

    // Properties, with their creation values.
    SkinColor KeyColor() const { return keyColor_; }         // 0xFFFFFF; next load
    void SetKeyColor(SkinColor color) { keyColor_ = color; }
    SkinColor Tolerance() const { return tolerance_; }       // 0; next load
    void SetTolerance(SkinColor tolerance) { tolerance_ = tolerance; }
    bool Grayout() const { return grayout_; }                // true
    void SetGrayout(bool on);                                // false also clears GrayoutAll
    bool GrayoutAll() const { return grayoutAll_; }          // true
    void SetGrayoutAll(bool on);                             // true also sets Grayout
    bool WebHotSpot() const { return webHotSpot_; }          // false
    void SetWebHotSpot(bool on) { webHotSpot_ = on; }
    Qt::CursorShape HotSpotCursor() const { return hotSpotCursor_; }  // pointing hand
    void SetHotSpotCursor(Qt::CursorShape cursor) { hotSpotCursor_ = cursor; }

    // Called only when assigned.
    TMouseDownNotify OnMouseDownNotify;
    TMouseUpNotify OnMouseUpNotify;
    TMouseMoveNotify OnMouseMoveNotify;
    TTrackBarNotify OnTrackBarNotify;
    TSkinNotify OnSkinChanged;  // after every load

    // A load is all or nothing: on an error (thrown with the user's message)
    // the window keeps its previous skin, outline and size.
    void LoadSkin(const std::string& skinFile);
    void LoadDefaultSkin();
    // Shows a skin built elsewhere, as a load does after building it.
    void AssignSkin(Skin skin);

    int FindHotArea(const std::string& id) const;          // first exact match, -1 if none
    std::string HotAreaId(int index) const;                // "" outside the table
    void SetHotAreaState(const std::string& id, bool state);
    bool GetHotAreaState(const std::string& id) const;     // false if none
    // Composes again only what the old and the new text cover.
    void SetDisplayText(const std::string& id, const std::string& text);
    // Font texts of these display items are cut with an ellipsis inside
    // their box, in every skin loaded from now on.
    void SetElidedItems(std::vector<std::string> ids);

    // Asks for the face to be composed again; it is composed at most once
    // before it is next shown or read.
    void Redraw();
    // Sizes the top-level window to the mask and cuts it to the mask's outline.
    void ApplyMask();

    // The application's deactivation and activation handlers.
    void GrayOut();
    void RestoreFace();
    // Fed from the application's state changes; tests call it directly.
    static void ApplicationActivated(bool active);

    // The face as it is shown (the grey one while it is shown), composed on demand.
    QImage Face();
    bool ShowsGrayFace() const { return grayShown_; }

    const Skin& CurrentSkin() const { return skin_; }
    const std::string& SkinFile() const { return skinFile_; }
    const std::string& ResourceName() const { return resourceName_; }
    // In this widget's pixels; the mask's box for an outline too ragged to
    // keep as a region (the window system has it as a bitmap).
    const QRegion& Outline() const { return region_; }
    const std::string& CurrentID() const { return currentId_; }
    const std::string& PressedID() const { return pressedId_; }
    const std::string& Hint() const { return hint_; }
    int ActiveTrackBar() const { return activeTrackBar_; }
    bool Dragging() const { return dragging_; }

    // The keyboard. A key given a command reports that ID as a release does,
    // with no button; Tab moves the focus ring through the hot areas, Space
    // and Enter press the one it is on.
    void SetKeyCommand(Qt::Key key, const std::string& id) { keyCommands_[key] = id; }
    int FocusedHotArea() const { return ringArea_; }     // -1 before a key chose one
    bool ShowsFocusRing() const { return ringShown_ && ringArea_ >= 0; }
    // A whole click on a hot area, as the mouse gives it: down, then up on it.
    void ClickHotArea(int index);
    // Where a spot lies in this widget, cut to the face; empty when outside it.
    QRect HotAreaBox(int index) const;
    QRect DisplayItemBox(int index) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // The hot areas the keyboard visits, as indexes in reading order.
    const std::vector<int>& TabOrder();
    void PressHotArea(int index);
    void PressKeyArea(int index, Qt::KeyboardModifiers shift);
    void ReleaseKeyArea(Qt::KeyboardModifiers shift, bool report);
    void MoveFocusRing(int index);
    void UpdateFocusRing();
    void PaintFocusRing(QPainter& painter);
    void HotAreaStateChanged(int index);
    void HandlePress(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos, QPoint globalPos);
    void HandleMove(Qt::KeyboardModifiers shift, QPoint pos, QPoint globalPos);
    void HandleRelease(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void SelectGroupMember(int index);
    void ClampTrackBar(TrackBarInfoRec& bar);
    void StartWindowMove(QPoint globalPos);
    void ShowGrayFace();
    void UnparkWhileInteracting();
    bool Interacting() const;  // a hot area pressed or under the pointer
    void ParkWhenIdle();
    void MarkStale(const QRect& area);
    QImage ComposePart(const QRect& area);
    // Where the texts that changed more than once since the last parking
    // may draw: the up face keeps its pieces there.
    std::vector<QRect> TickedAreas();
    const std::vector<QRect>& ItemAreas();
    QRect ItemArea(std::size_t index);  // of the item's present text
    void ShowHint(QPoint globalPos);

    // The application counts as active from its start.
    inline static bool applicationActive_ = true;

    Skin skin_;
    std::string skinFile_;
    std::string resourceName_;

    SkinColor keyColor_ = 0xFFFFFF;
    SkinColor tolerance_ = 0;
    bool grayout_ = true;
    bool grayoutAll_ = true;
    bool webHotSpot_ = false;
    Qt::CursorShape hotSpotCursor_ = Qt::PointingHandCursor;

    QSize faceSize_;
    QImage gray_;
    QRegion region_;
    // A ragged outline as coverage, where a region would be too large to
    // clip the paint to: the rest is painted fully transparent, since only
    // X11 can shape a window's pixels.
    QImage coverage_;
    bool grayShown_ = false;
    // Where each display item's text may draw, measured once per text.
    std::vector<QRect> itemAreas_;
    // Per display item, the areas of texts it showed, by text.
    std::vector<std::unordered_map<std::string, QRect>> knownAreas_;
    std::vector<int> changesSincePark_;  // per display item

    std::string currentId_;
    std::string pressedId_;
    std::string hint_;
    std::string shownHint_;
    bool areaHit_ = false;
    bool dragging_ = false;
    int activeTrackBar_ = -1;
    int grabOffset_ = 0;
    bool webHover_ = false;
    bool prevWebHover_ = false;

    // Fallback drag where the platform cannot move the window itself.
    bool manualMove_ = false;
    QPoint moveStartGlobal_;
    QPoint moveStartWindow_;

    std::vector<std::string> elidedItems_;
    std::map<int, std::string> keyCommands_;
    std::vector<int> tabOrder_;
    bool tabOrderKnown_ = false;
    int ringArea_ = -1;
    bool ringShown_ = false;
    int keyPressedArea_ = -1;
    std::unique_ptr<SkinFormAccess> access_;
    QTimer* parkTimer_ = nullptr;  // lets go of the faces a while after their last use
};

}  // namespace tolvenmark
