#include "clock/startup_load.h"

#include <cerrno>
#include <exception>

#include "bin/bin_files.h"
#include "clock/config.h"
#include "clock/date_migration.h"
#include "platform/date_time_text.h"
#include "platform/file_faults.h"
#include "platform/folders.h"
#include "platform/names.h"

namespace tolvenmark {

std::optional<StartupConfig> LoadStartupConfig(const Clock& clock, const RegionalSettings& settings,
                                               Prompts& prompts) {
    SetConfigPath(DefaultConfigPath());
    if (!FileExists(ConfigPath())) {
        prompts.Error("The file : " + ConfigPath() + " does not exist.\r\n" +
                      "You are not going to get far without that file!!!");
        return std::nullopt;
    }
    // Read as empty it would send every later step to the wrong folder.
    if (!CanReadFile(ConfigPath())) {
        prompts.Error(FileReadError(ConfigPath(), errno ? errno : EIO));
        return std::nullopt;
    }

    StartupConfig config;
    config.appPath = ReadConfigKey("APPPATH");
    config.version = ReadConfigKey("VERSION");
    config.skin = ReadConfigKey("SKIN");
    config.snooze = ReadConfigKey("SNOOZE");
    config.snoozeMin = ReadConfigKey("SNOOZEMIN");
    config.alDate = ReadConfigKey("ALDATE");
    config.alTime = ReadConfigKey("ALTIME");
    config.alSet = ReadConfigKey("ALSET");
    config.alHeader = ReadConfigKey("ALHEADER");
    config.alFormat = ReadConfigKey("ALFORMAT");
    config.alDateSep = ReadConfigKey("ALDATESEP");

    if (config.version == "1.0" || config.version.empty()) {
        WriteConfigKey("VERSION", kProgramVersion);
        RecordDateFormat(settings);
        WriteConfigKey("CHANGEALARM", "Yes");
        WriteConfigKey("DELETEALARM", "Yes");
    }

    // No alarm was ever set (a first start): none is shown until one is. Half
    // a stored alarm is filled in memory only; the file keeps its empty value.
    const DateTime now = clock.Now();
    if (config.alDate.empty() && config.alTime.empty()) return config;
    if (config.alDate.empty()) config.alDate = DateToStr(now, settings);
    if (config.alTime.empty()) config.alTime = TimeToStr(now, settings);
    return config;
}

StartupOutcome RunStartup(const Clock& clock, const RegionalSettings& settings, Prompts& prompts) {
    StartupOutcome outcome;
    outcome.exitStatus = 1;
    try {
        auto config = LoadStartupConfig(clock, settings, prompts);
        if (!config) return outcome;
        outcome.config = *config;
        outcome.pending = {config->alHeader, config->alDate, config->alTime};

        // Only one copy runs, so a temporary file of ours is a killed write's.
        const std::string configFolder = FolderWithSlash(ConfigPath());
        RemoveStaleTempFiles(configFolder, FileNameOf(ConfigPath()));
        RemoveStaleTempFiles(configFolder, FileNameOf(ConfigPath()) + ".date-change");
        const std::string appFolder = FolderWithSlash(AlarmsPath(config->appPath));
        for (const char* name : {"Alarms.txt", "StorageBin.txt"}) RemoveStaleTempFiles(appFolder, name);

        if (CheckStoredDateFormat(config->alFormat, config->alDateSep, outcome.pending, config->appPath, settings,
                                  prompts)) {
            outcome.exitStatus = 0;
            return outcome;
        }
        outcome.proceed = true;
        outcome.exitStatus = 0;
    } catch (const std::exception& e) {
        prompts.Error(e.what());
    }
    return outcome;
}

}  // namespace tolvenmark
