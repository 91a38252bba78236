#pragma once

#include <string>
#include <vector>

namespace tolvenmark {

struct DriveChoice {
    int selected = -1;  // list position, -1 for none
    std::string drive;  // the in-memory drive value afterwards
};

// Which drive root a stored drive selects: every root containing it (the last
// wins); an empty stored drive takes the first root, or stays empty.
DriveChoice ChooseDrive(const std::vector<std::string>& roots, const std::string& stored);

// The letter OK stores: the first character of the in-memory drive, or ""
// when the machine has no optical drive.
std::string DriveLetterToStore(const std::string& drive, std::size_t driveCount);

}  // namespace tolvenmark
