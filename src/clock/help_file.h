#pragma once

#include <string>

namespace tolvenmark {

// The user guide: APPPATH + "/TolvenHelp.html" when it exists, else the
// installed one, share/tolvenmark-clock/TolvenHelp.html beside the program's
// bin folder (returned even when missing: the opener then says so).
std::string HelpFilePath(const std::string& appPath, const std::string& programDir);

}  // namespace tolvenmark
