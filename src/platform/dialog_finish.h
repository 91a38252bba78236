#pragma once

class QWidget;

namespace tolvenmark {

enum class DialogPlace { ScreenCentre, AsPlaced };

// What every dialog gets once its controls are made and its size is set:
// Return presses only a button made the default (setDefault) before this
// call, never the first one Qt would pick; a table cell being edited is
// committed before any button acts, clicked or pressed by its accelerator;
// captions as wide as their text; the clock's icon; and its place, by default the centre of the screen
// rather than of the window that opened it.
void FinishDialog(QWidget& dialog, DialogPlace place = DialogPlace::ScreenCentre);

}  // namespace tolvenmark
