#pragma once

#include <vector>

#include <QImage>
#include <QRect>

#include "skin/skin_data.h"

namespace tolvenmark {

// Faces of a skin that keep their JPEG bytes can be let go between uses:
// about 700 KiB each for the built-in skin. Parking does nothing where the
// pixels stay held anyway (a picture shared with the mask, the strips or a
// face that is not parked) and tells whether it parked; unparking decodes
// them again exactly as loaded and prepared.

// The down face, with the hover face when it is the same picture.
bool CanParkDownFace(const Skin& skin);
bool ParkDownFace(Skin& skin);
void UnparkDownFace(Skin& skin);
// Whether composing area (the whole face when null) draws from the down face
// or from a hover face parked with it.
bool ComposeUsesDownFace(const Skin& skin, const QRect* area);

// The up face, keeping its pixels inside keep (a tick's texts compose there
// while it is parked). Only an up face that covers the whole face parks.
bool CanParkUpFace(const Skin& skin);
bool ParkUpFace(Skin& skin, const std::vector<QRect>& keep);
void UnparkUpFace(Skin& skin);
// Whether the up face's pixels of area are at hand, parked or not.
bool UpFaceCovers(const Skin& skin, const QRect& area);

}  // namespace tolvenmark
