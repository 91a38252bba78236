#include "clock/startup_load.h"

#include "clock/config.h"
#include "platform/date_time_text.h"
#include "platform/folders.h"

namespace tolvenmark {

std::optional<StartupConfig> LoadStartupConfig(const Clock& clock, const RegionalSettings& settings,
                                               Prompts& prompts) {
    SetConfigPath(DefaultConfigPath());
    if (!FileExists(ConfigPath())) {
        prompts.Error("The file : " + ConfigPath() + " does not exist.\r\n" +
                      "You are not going to get far without that file!!!");
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

    if (config.version == "1.0" || config.version.empty()) {
        WriteConfigKey("VERSION", kProgramVersion);
        RecordDateFormat(settings);
        WriteConfigKey("CHANGEALARM", "Yes");
        WriteConfigKey("DELETEALARM", "Yes");
    }

    // In memory only: the file keeps its empty values.
    const DateTime now = clock.Now();
    if (config.alDate.empty()) config.alDate = DateToStr(now, settings);
    if (config.alTime.empty()) config.alTime = TimeToStr(now, settings);
    return config;
}

}  // namespace tolvenmark
