#pragma once

#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/prompts.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

// The in-memory copies the main window keeps from the configuration file.
struct StartupConfig {
    std::string appPath;
    std::string version;
    std::string skin;
    std::string snooze;
    std::string snoozeMin;
    std::string alDate;
    std::string alTime;
    std::string alSet;
    std::string alHeader;
    std::string alFormat;  // as read before the upgrade: the date-format check compares it
};

inline constexpr const char* kProgramVersion = "1.1";

// Fixes ConfigPath, reads the keys and runs the version upgrade. Without a
// configuration file it shows the error and answers nothing: the program
// must end without a window.
std::optional<StartupConfig> LoadStartupConfig(const Clock& clock, const RegionalSettings& settings,
                                               Prompts& prompts);

}  // namespace tolvenmark
