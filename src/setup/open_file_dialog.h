#pragma once

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace tolvenmark {

// The open-file dialog as the forms use it: a title and a filter of
// "description|pattern" pairs set before each use.
class OpenFileDialog {
public:
    std::string title;
    std::string filter = "All Files|*.*";
    std::string folder;  // where it opens; "" the working folder

    // Shows the dialog; the chosen file's full path, or nothing on cancel.
    std::optional<std::string> Execute(QWidget* parent) const;

    // Stands in for the desktop's dialog (tests pick the file themselves).
    std::function<std::optional<std::string>(const OpenFileDialog&)> chooser;
};

// Where a Browse for a field opens: the folder of the file the field names
// (the field itself when it is a folder) when that folder exists, else fallback.
std::string StartFolder(const std::string& fieldText, const std::string& fallback);
// The user's music folder (XDG_MUSIC_DIR), "" when it does not exist.
std::string MusicFolder();

// "MP3 Files|*.mp3|All Files (*.*)|*.*" -> "MP3 Files (*.mp3);;All Files (*)":
// a description that already shows its pattern keeps it as it is; "*.*"
// becomes "*", the pattern that matches every file here.
std::string QtNameFilters(const std::string& filter);

}  // namespace tolvenmark
