#include "clock/help_file.h"

#include "platform/folders.h"

namespace tolvenmark {

std::string HelpFilePath(const std::string& appPath, const std::string& programDir) {
    const std::string beside = appPath + "/TolvenHelp.html";
    if (!appPath.empty() && FileExists(beside)) return beside;
    return programDir + "/../share/tolvenmark-clock/TolvenHelp.html";
}

}  // namespace tolvenmark
