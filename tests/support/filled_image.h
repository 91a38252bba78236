#pragma once

#include <QColor>
#include <QImage>

namespace tolvenmark::testing {

// An opaque image of one colour, the face or mask of a test skin.
inline QImage Filled(int width, int height, const QColor& colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

}  // namespace tolvenmark::testing
