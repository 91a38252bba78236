#pragma once

#include <string>

namespace tolvenmark {

// The user guide: APPPATH + "/TolvenHelp.html" when it exists, else the one in
// the program's data folder (installed, or the build folder's twin), returned
// even when missing: the opener then says so.
std::string HelpFilePath(const std::string& appPath, const std::string& programDir);

// The warning when the guide could not be shown, naming its file.
std::string HelpNotOpenedText(const std::string& path, bool exists);

}  // namespace tolvenmark
