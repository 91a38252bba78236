#include "skin/face_parking.h"

#include <algorithm>
#include <cstdint>
#include <exception>

#include <QRegion>

#include "skin/skin_painter.h"
#include "skin/skin_picture.h"

namespace tolvenmark {

namespace {

QImage DecodeParked(const QByteArray& jpeg) {
    QImage face;
    try {
        face = DecodeSkinImage(reinterpret_cast<const std::uint8_t*>(jpeg.constData()),
                               static_cast<std::size_t>(jpeg.size()), "JPG");
    } catch (const std::exception&) {
        return {};  // the same bytes decoded at the load: only memory can lack
    }
    PrepareImageForPainting(face);
    return face;
}

bool SharedWith(const QImage& image, std::initializer_list<const QImage*> others) {
    return std::any_of(others.begin(), others.end(),
                       [key = image.cacheKey()](const QImage* other) { return other->cacheKey() == key; });
}

}  // namespace

bool CanParkDownFace(const Skin& skin) {
    return !skin.DownParked && !skin.DownJpeg.isEmpty() && !skin.DownImage.isNull() &&
           !SharedWith(skin.DownImage, {&skin.MaskImage, &skin.UpImage, &skin.NumbersImage, &skin.TextImage});
}

bool ParkDownFace(Skin& skin) {
    if (!CanParkDownFace(skin)) return false;
    skin.OnParked = skin.OnImage.cacheKey() == skin.DownImage.cacheKey();
    if (skin.OnParked) skin.OnImage = QImage();
    skin.DownImage = QImage();
    skin.DownParked = true;
    return true;
}

void UnparkDownFace(Skin& skin) {
    if (!skin.DownParked) return;
    const QImage face = DecodeParked(skin.DownJpeg);
    if (face.isNull()) return;
    skin.DownImage = face;
    if (skin.OnParked) skin.OnImage = face;
    skin.DownParked = skin.OnParked = false;
}

bool ComposeUsesDownFace(const Skin& skin, const QRect* area) {
    const bool onIsDown = skin.OnParked || (!skin.DownParked && skin.OnImage.cacheKey() == skin.DownImage.cacheKey());
    for (const HotAreaInfoRec& hot : skin.HotAreas) {
        const bool down = (hot.HasState && hot.State) || hot.Pressed;
        const bool on = hot.Hover && !hot.Pressed && onIsDown;
        if (!down && !on) continue;
        if (!area) return true;
        const std::int64_t left = std::max<std::int64_t>(hot.X, area->x());
        const std::int64_t top = std::max<std::int64_t>(hot.Y, area->y());
        const std::int64_t right = std::min<std::int64_t>(std::int64_t{hot.X} + hot.Width, area->x() + area->width());
        const std::int64_t bottom =
            std::min<std::int64_t>(std::int64_t{hot.Y} + hot.Height, area->y() + area->height());
        if (left < right && top < bottom) return true;
    }
    return false;
}

bool CanParkUpFace(const Skin& skin) {
    // One smaller than the face leaves black beyond it, which pieces do not hold.
    return !skin.UpParked && !skin.UpJpeg.isEmpty() && !skin.UpImage.isNull() &&
           skin.UpImage.rect().contains(skin.MaskImage.rect()) &&
           !SharedWith(skin.UpImage,
                       {&skin.MaskImage, &skin.DownImage, &skin.OnImage, &skin.NumbersImage, &skin.TextImage});
}

bool ParkUpFace(Skin& skin, const std::vector<QRect>& keep) {
    if (!CanParkUpFace(skin)) return false;
    // Each pixel once; copied as they are, since a conversion of a large
    // piece would wake the toolkit's thread pool.
    QRegion kept;
    for (const QRect& area : keep) kept += area & skin.UpImage.rect();
    skin.UpPieces.clear();
    for (const QRect& area : kept) {
        QImage piece = skin.UpImage.copy(area);
        piece.setOffset(area.topLeft());
        skin.UpPieces.push_back(std::move(piece));
    }
    skin.UpImage = QImage();
    skin.UpParked = true;
    return true;
}

void UnparkUpFace(Skin& skin) {
    if (!skin.UpParked) return;
    const QImage face = DecodeParked(skin.UpJpeg);
    if (face.isNull()) return;
    skin.UpImage = face;
    skin.UpPieces.clear();
    skin.UpParked = false;
}

bool UpFaceCovers(const Skin& skin, const QRect& area) {
    if (!skin.UpParked) return true;
    QRegion missing(area);
    for (const QImage& piece : skin.UpPieces) missing -= QRect(piece.offset(), piece.size());
    return missing.isEmpty();
}

}  // namespace tolvenmark
