#include "setup/open_file_dialog.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include <QFileDialog>
#include <QStandardPaths>
#include <QString>

namespace tolvenmark {

namespace {

std::vector<std::string> SplitBars(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = text.find('|', start);
        parts.push_back(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) return parts;
        start = bar + 1;
    }
}

}  // namespace

std::string QtNameFilters(const std::string& filter) {
    const std::vector<std::string> parts = SplitBars(filter);
    std::string out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string description = parts[i];
        std::string pattern = parts[i + 1];
        // "*.*" means every file where it was written; here it would hide
        // every program without an extension, which is most of them.
        if (pattern == "*.*") {
            pattern = "*";
            const std::size_t shown = description.rfind("(*.*)");
            if (shown != std::string::npos) description.replace(shown, 5, "(*)");
        }
        if (!out.empty()) out += ";;";
        const std::string shown = "(" + pattern + ")";
        const bool showsPattern = description.size() >= shown.size() &&
                                  description.compare(description.size() - shown.size(), shown.size(), shown) == 0;
        out += showsPattern ? description : description + " " + shown;
    }
    return out;
}

std::string StartFolder(const std::string& fieldText, const std::string& fallback) {
    if (!fieldText.empty()) {
        std::error_code error;
        const std::filesystem::path path(fieldText);
        if (path.is_absolute()) {
            if (std::filesystem::is_directory(path, error)) return path.string();
            if (std::filesystem::is_directory(path.parent_path(), error)) return path.parent_path().string();
        }
    }
    return fallback;
}

std::string MusicFolder() {
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    std::error_code error;
    return !music.isEmpty() && std::filesystem::is_directory(music.toStdString(), error) ? music.toStdString() : "";
}

std::optional<std::string> OpenFileDialog::Execute(QWidget* parent) const {
    if (chooser) return chooser(*this);
    const QString chosen = QFileDialog::getOpenFileName(parent, QString::fromStdString(title), QString::fromStdString(folder),
                                                        QString::fromStdString(QtNameFilters(filter)));
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

}  // namespace tolvenmark
