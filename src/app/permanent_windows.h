#pragma once

namespace tolvenmark {

class TForm1;
class TForm4;

// The windows that live from the start to the end beside the main window,
// and the main window's hooks into them and into the dialogs it opens.
struct PermanentWindows {
    TForm4* form4 = nullptr;  // program settings, owned by the main window
};

void CreatePermanentWindows(TForm1& form, PermanentWindows& windows);

}  // namespace tolvenmark
