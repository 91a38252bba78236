#pragma once

#include <string>

namespace tolvenmark {

// Sets skinFilesMissing when an image the skin file names does not exist
// beside it; never clears it and never fails. Empty names are not missing.
void VerifySkin(const std::string& skinFile, bool& skinFilesMissing);

}  // namespace tolvenmark
