#include "platform/program_data.h"

#include <filesystem>
#include <system_error>

namespace tolvenmark {

std::string ProgramDataFolder(const std::string& programDir) {
    const std::string installed = programDir + "/../share/tolvenmark-clock";
    const std::string built = programDir + "/share/tolvenmark-clock";
    std::error_code ec;
    if (!std::filesystem::is_directory(installed, ec) && std::filesystem::is_directory(built, ec)) return built;
    return installed;
}

}  // namespace tolvenmark
