#pragma once

#include <string>

namespace tolvenmark {

// The message a failed file operation shows, from an errno value, in the
// runtime's words ("File not found", "Disk full", ...).
std::string InOutErrorMessage(int errorNumber);

}  // namespace tolvenmark
