#include "setup/bin_additions.h"

#include <algorithm>

#include "bin/bin_line.h"
#include "bin/sort_alarms.h"
#include "platform/folders.h"

namespace tolvenmark {

FileSetting FileSettingFor(const std::string& mediaType, const std::string& startString,
                           const std::string& player) {
    if (mediaType == "Text Message") return {startString, "Text Message", "MESSAGE"};
    if (mediaType == "Network Message") return {startString, "Network Message", "NETMESS"};
    return {startString, "", player};
}

bool AddSettingsToBin(const std::string& appPath, const FileSetting& setting, Prompts& prompts) {
    if (setting.target.empty()) {
        prompts.Information("There is no file, message, or start string to add.");
        return false;
    }
    CheckBinField(setting.target);
    const FileSettingList lines = LoadFileSettings(StorageBinPath(appPath));
    bool duplicate = false;
    for (const FileSetting& line : lines) {
        if (line.target != setting.target) continue;
        prompts.Information("This file/message has already been added to the bin.");
        duplicate = true;
    }
    if (duplicate) return false;
    AppendFileSetting(StorageBinPath(appPath), setting);
    return true;
}

bool AddAlarmToBin(const std::string& appPath, const SavedAlarm& alarm, SavedAlarmList& table,
                   const RegionalSettings& settings, int currentYear, Prompts& prompts) {
    CheckBinField(alarm.header);
    CheckBinField(alarm.date);
    CheckBinField(alarm.time);
    const std::string path = AlarmsPath(appPath);
    const bool existed = FileExists(path);
    table = LoadSavedAlarms(path);
    const auto copies = std::count_if(table.begin(), table.end(), [&](const SavedAlarm& line) {
        return IsDuplicateAlarm({line}, alarm.date, alarm.time);
    });
    for (long i = 0; i < copies; ++i) prompts.Information("This alarm has already been added to the bin.");
    if (copies > 0) return false;

    const std::size_t n = table.size();
    AppendSavedAlarm(path, alarm);
    table.push_back(alarm);
    if (existed) SortAlarmsToFile(appPath, table, n, settings, currentYear);
    return true;
}

void SortAlarmsToFile(const std::string& appPath, SavedAlarmList& table, std::size_t last,
                      const RegionalSettings& settings, int currentYear) {
    const std::size_t end = std::min(last + 1, table.size());
    const SavedAlarmList rows(table.begin(), table.begin() + static_cast<std::ptrdiff_t>(end));
    const SavedAlarmList sorted = SortAlarms(rows, settings, currentYear);
    RewriteSavedAlarms(AlarmsPath(appPath), sorted);
    for (std::size_t i = 0; i < end; ++i) table[i] = SavedAlarm{};
}

}  // namespace tolvenmark
