#pragma once

class QWidget;

namespace tolvenmark {

// Shows a top-level window in front, from minimised, hidden or behind
// others. On Wayland a program can neither un-minimise nor raise its own
// window, so the window is mapped anew, which the compositor puts in front.
void BringBack(QWidget& window);

// Minimises a top-level window. A Wayland compositor never tells the program
// whether its window is minimised (nor when the user brought it back), so
// there the request always goes.
void Minimize(QWidget& window);

}  // namespace tolvenmark
