#include "bin/storage_bin.h"

#include <algorithm>

#include "bin/alarm_time.h"
#include "bin/bin_line.h"
#include "bin/sort_alarms.h"
#include "platform/conversion_error.h"
#include "platform/date_time_text.h"

namespace tolvenmark {

AlarmsLoad LoadAlarmsForBin(const std::string& path, const RegionalSettings& settings, int currentYear) {
    AlarmsLoad load;
    const std::vector<std::string> lines = LoadBinLines(path);
    load.rows.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        BinFields fields = SplitBinLine(lines[i]);
        try {
            const DateTime date = StrToDate(fields[1], settings, currentYear);
            const DateTime time = StrToTime(fields[2], settings);
            load.rows.push_back({std::move(fields[0]), DateToStr(date, settings), AlarmTimeText(time, settings)});
        } catch (const ConversionError& e) {
            load.error = e.what();
            load.unreadLines.assign(lines.begin() + static_cast<std::ptrdiff_t>(i), lines.end());
            break;
        }
    }
    return load;
}

int ValidateFileSettings(FileSettingList& rows, bool ignoreUrls, bool ignoreMessages,
                         const std::function<bool(const std::string&)>& fileExists, Prompts& prompts) {
    if (!prompts.Confirm("This will delete any files from the bin that do not exist in the specified "
                         "directories.\r\nDo you want to continue?"))
        return 0;
    ConfirmAnswer answer = ConfirmAnswer::No;
    int count = 0;
    for (FileSetting& row : rows) {
        const bool url = row.target.find("http") != std::string::npos;
        const bool message = !url && (row.player == "MESSAGE" || row.player == "NETMESS");
        if (url && ignoreUrls) continue;
        if (message && ignoreMessages) continue;
        if (row.target.empty()) continue;
        if (!url && !message && fileExists(row.target)) continue;
        if (answer != ConfirmAnswer::YesToAll)
            answer = prompts.ConfirmAll("Delete the following entry?\r\n" + row.target);
        if (answer == ConfirmAnswer::No) continue;
        row.target.clear();
        ++count;
    }
    return count;
}

int ValidateSavedAlarms(SavedAlarmList& rows, const DateTime& now, const RegionalSettings& settings,
                        Prompts& prompts) {
    if (!prompts.Confirm("This will delete any alarms from the bin that are before the current date "
                         "and time.\r\nDo you want to continue?"))
        return 0;
    const DateTime today = now.DatePart();
    const DateTime timeNow = now.TimePart();
    ConfirmAnswer answer = ConfirmAnswer::No;
    int count = 0;
    for (SavedAlarm& row : rows) {
        if (row.date.empty() && row.time.empty()) continue;
        bool offered = row.date.empty() || row.time.empty();
        if (!offered) {
            const DateTime date = StrToDate(row.date, settings, now.year).DatePart();
            offered = date < today || (date == today && StrToTime(row.time, settings).TimePart() < timeNow);
        }
        if (!offered) continue;
        if (answer != ConfirmAnswer::YesToAll)
            answer = prompts.ConfirmAll("Delete the following alarm entry?\r\n" + row.header + " [" +
                                        row.date + " at " + row.time + "]");
        if (answer == ConfirmAnswer::No) continue;
        row = SavedAlarm{};
        ++count;
    }
    return count;
}

bool ReportValidation(int count, Prompts& prompts) {
    if (count > 0) {
        prompts.Information("There were " + std::to_string(count) + " saved references deleted.");
        return true;
    }
    prompts.Information("There were no saved references deleted.");
    return false;
}

FileSettingList PackFileRows(const FileSettingList& rows) {
    FileSettingList packed;
    for (const FileSetting& row : rows)
        if (!row.target.empty()) packed.push_back(row);
    if (packed.empty()) packed.emplace_back();
    return packed;
}

SavedAlarmList PackAlarmRows(const SavedAlarmList& rows) {
    SavedAlarmList packed;
    for (const SavedAlarm& row : rows)
        if (!row.date.empty()) packed.push_back(row);
    if (packed.empty()) packed.emplace_back();
    return packed;
}

SavedAlarmList SortAlarmRows(const SavedAlarmList& rows, const RegionalSettings& settings, int currentYear) {
    SavedAlarmList sorted = SortAlarms(rows, settings, currentYear);
    sorted.resize(std::max<std::size_t>(rows.size(), 1));
    return sorted;
}

void CheckFileRows(const FileSettingList& rows) {
    for (const FileSetting& row : rows) {
        if (row.target.empty()) continue;
        CheckBinField(row.target);
        CheckBinField(row.fileId);
        CheckBinField(row.player);
    }
}

void CheckAlarmRows(const SavedAlarmList& rows) {
    for (const SavedAlarm& row : rows) {
        if (row.date.empty()) continue;
        CheckBinField(row.header);
        CheckBinField(row.date);
        CheckBinField(row.time);
    }
}

}  // namespace tolvenmark
