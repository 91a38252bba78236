#pragma once

#include <array>
#include <string>

namespace tolvenmark {

// The main window's in-memory copies that the alarm settings and media
// programs dialogs share for the whole run.
struct MediaMemory {
    std::array<std::string, 5> playerPaths;  // WMP, WINAMP, REALONE, QUICKTIME, CUSTOM
    std::string cdDrive;   // a letter as stored, or a picked root such as "E:\"
    std::string dvdDrive;
    int cdDriveIndex = 0;  // position of the CD drive among the optical drives
    bool noDrivesTold = false;  // "no CD or DVD drives" is said once a run
};

MediaMemory& AppMediaMemory();

}  // namespace tolvenmark
