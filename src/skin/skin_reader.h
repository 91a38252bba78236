#pragma once

#include <string>

#include "platform/prompts.h"
#include "skin/skin_data.h"

namespace tolvenmark {

// Builds a skin from a skin file (plain INI or packed ".SKN"), starting from a
// copy of previous so that images the skin does not name keep their content.
// Throws ConversionError or OperationError with the message the user sees;
// previous is never touched, so a failed load leaves the old skin whole.
// The older-version notice goes to prompts and the load goes on.
Skin BuildSkinFromFile(const std::string& skinFile, const Skin& previous, Prompts& prompts);

// The same for the built-in skin, read from the program's resources.
Skin BuildDefaultSkin(const Skin& previous, Prompts& prompts);

}  // namespace tolvenmark
