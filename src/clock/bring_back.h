#pragma once

class QWidget;

namespace tolvenmark {

// Shows a top-level window in front, from minimised, hidden or behind
// others. On Wayland a program can neither un-minimise nor raise its own
// window, so the window is mapped anew, which the compositor puts in front.
void BringBack(QWidget& window);

}  // namespace tolvenmark
