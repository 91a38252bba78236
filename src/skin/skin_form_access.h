#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <QAccessible>
#include <QString>

#include "skin/skin_spots.h"

class QTimer;

namespace tolvenmark {

class TSkinForm;

// What assistive technology sees of a skinned window: each hot area a push
// button (a check box where it has a state), each display item a label, children of the window's own object in
// reading order. They are made when first asked for and remade after a load.
// A label's text is the one a reader last heard: readers keep what they were
// told, so the text given and the change announced must go together.
class SkinFormAccess {
public:
    explicit SkinFormAccess(TSkinForm& form);
    ~SkinFormAccess();
    SkinFormAccess(const SkinFormAccess&) = delete;
    SkinFormAccess& operator=(const SkinFormAccess&) = delete;

    int Count();
    QAccessibleInterface* Child(int position);  // nullptr outside
    int PositionOf(const QAccessibleInterface* child);
    QAccessibleInterface* HotAreaChild(int index);  // nullptr when not shown
    QString SpokenText(int item);

    // Told by the window; each tells assistive technology when it listens.
    void SkinChanged();
    void TextChanged();
    void StateChanged(int area);
    void FocusMoved(int area);
    void Hidden();

private:
    const std::vector<SkinSpot>& Spots();
    int PositionOfSpot(bool hotArea, int index);
    void Announce(QAccessibleInterface* child, QAccessible::Event type);
    void SpeakDue();
    void ResetSpoken();

    TSkinForm& form_;
    std::vector<SkinSpot> spots_;
    bool spotsKnown_ = false;
    std::vector<QAccessible::Id> ids_;  // by position; 0 until made
    // Per display item: the text last announced and when.
    std::vector<std::string> spoken_;
    std::vector<std::chrono::steady_clock::time_point> spokenAt_;
    QTimer* speakTimer_;  // for the texts a pause holds back
};

}  // namespace tolvenmark
