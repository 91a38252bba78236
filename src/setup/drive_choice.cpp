#include "setup/drive_choice.h"

namespace tolvenmark {

DriveChoice ChooseDrive(const std::vector<std::string>& roots, const std::string& stored) {
    if (stored.empty()) {
        if (roots.empty()) return {};
        return {0, roots.front()};
    }
    DriveChoice choice{-1, stored};
    for (std::size_t i = 0; i < roots.size(); ++i)
        if (roots[i].find(stored) != std::string::npos) choice.selected = static_cast<int>(i);
    return choice;
}

std::string DriveLetterToStore(const std::string& drive, std::size_t driveCount) {
    if (driveCount == 0 || drive.empty()) return "";
    return drive.substr(0, 1);
}

}  // namespace tolvenmark
