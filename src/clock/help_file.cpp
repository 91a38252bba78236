#include "clock/help_file.h"

#include "platform/folders.h"
#include "platform/program_data.h"

namespace tolvenmark {

std::string HelpFilePath(const std::string& appPath, const std::string& programDir) {
    const std::string beside = appPath + "/TolvenHelp.html";
    if (!appPath.empty() && FileExists(beside)) return beside;
    return ProgramDataFolder(programDir) + "/TolvenHelp.html";
}

std::string HelpNotOpenedText(const std::string& path, bool exists) {
    return exists ? "No program could open the help file " + path + "."
                  : "The help file " + path + " does not exist.";
}

}  // namespace tolvenmark
