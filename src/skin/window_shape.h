#pragma once

#include <QImage>
#include <QPoint>

class QWidget;

namespace tolvenmark {

// Cuts the top-level window to a 1-bit outline (MaskBitmap: set bits stay),
// placed at offset, through the X11 shape extension with a bitmap: the
// server takes any outline that way, where a region of a ragged one would
// exceed the largest request it accepts and break the connection. False
// where the windows are not X11 ones.
bool ShapeX11WindowWithBitmap(QWidget* top, const QImage& outline, QPoint offset);

}  // namespace tolvenmark
