#pragma once

#include <string>

namespace tolvenmark {

// Sets skinFilesMissing when an image the skin file names does not exist
// where the load would look for it; never clears it and never fails. Empty
// names are not missing. A packed skin is unpacked for the check; one that
// does not unpack, has no INI among its members or cannot be read at all is
// missing its files, and so is a file too large to be a skin.
void VerifySkin(const std::string& skinFile, bool& skinFilesMissing);

}  // namespace tolvenmark
