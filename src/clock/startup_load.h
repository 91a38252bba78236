#pragma once

#include <optional>
#include <string>

#include "clock/pending_alarm.h"
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
    std::string alFormat;   // as read before the upgrade: the date-format check compares it
    std::string alDateSep;  // as read before the upgrade, which records the current one
};

inline constexpr const char* kProgramVersion = "1.1";

// Fixes ConfigPath, reads the keys and runs the version upgrade. Without a
// readable configuration file it shows the error and answers nothing: the
// program must end without a window.
std::optional<StartupConfig> LoadStartupConfig(const Clock& clock, const RegionalSettings& settings,
                                               Prompts& prompts);

// Everything the start-up does before the main window builds on it: the
// load, the removal of temporary files a killed write left behind, and the
// date-format check with its migration (finishing an interrupted one first).
struct StartupOutcome {
    bool proceed = false;  // false: end the program now, with exitStatus
    int exitStatus = 0;    // 0 after a migration's restart request, 1 after an error
    StartupConfig config;
    PendingAlarm pending;
};

// Never throws: an error is shown through prompts and gives status 1.
StartupOutcome RunStartup(const Clock& clock, const RegionalSettings& settings, Prompts& prompts);

}  // namespace tolvenmark
