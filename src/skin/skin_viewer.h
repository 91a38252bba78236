#pragma once

#include <string>

namespace tolvenmark {

// Shows one skin (the built-in one for an empty name) in a frameless, shaped
// window until its EXIT spot is released or the window is closed. Uses the
// running application, or makes one. Answers the exit status: 0, or 1 when the
// skin does not load (the error goes to the application's prompts).
int ShowSkinWindow(const std::string& skinFileOrEmpty);

}  // namespace tolvenmark
