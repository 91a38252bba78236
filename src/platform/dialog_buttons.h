#pragma once

class QDialog;

namespace tolvenmark {

// What every dialog gets once its controls are made: Return presses only a
// button made the default (setDefault) before this call, never the first
// one Qt would pick; a table cell being edited is committed before any
// button acts, clicked or pressed by its accelerator; the clock's icon.
void FinishDialog(QDialog& dialog);

}  // namespace tolvenmark
