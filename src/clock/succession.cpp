#include "clock/succession.h"

#include <optional>

#include "clock/config.h"
#include "platform/conversion_error.h"
#include "platform/date_time_text.h"
#include "platform/folders.h"

namespace tolvenmark {

namespace {

// Each stored date is read at most once per call, and only when needed, so a
// text that is never looked at cannot fail the succession.
class StoredDates {
public:
    StoredDates(const SavedAlarmList& entries, const RegionalSettings& settings, int currentYear)
        : entries_(entries), settings_(settings), currentYear_(currentYear), dates_(entries.size()) {}

    const DateTime& operator[](std::size_t i) {
        if (!dates_[i]) dates_[i] = StrToDate(entries_[i].date, settings_, currentYear_);
        return *dates_[i];
    }

private:
    const SavedAlarmList& entries_;
    const RegionalSettings& settings_;
    int currentYear_;
    std::vector<std::optional<DateTime>> dates_;
};

DateTime At(const DateTime& date, const DateTime& time) {
    return {date.year, date.month, date.day, time.hour, time.minute, time.second, 0};
}

// The saved alarms after the pending one and not after `from`; entries whose
// texts do not read are not counted (the step itself reports them if it meets them).
int CountPassedOver(const SavedAlarmList& entries, StoredDates& dates, const PendingAlarm& pending,
                    const DateTime& from, const RegionalSettings& settings) {
    DateTime after;
    try {
        after = At(StrToDate(pending.date, settings, from.year), StrToTime(pending.time, settings));
    } catch (const ConversionError&) {
        return 0;
    }
    int count = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].date.empty()) continue;
        try {
            const DateTime when = At(dates[i], StrToTime(entries[i].time, settings));
            if (when > after && when <= from) ++count;
        } catch (const ConversionError&) {
        }
    }
    return count;
}

}  // namespace

void ShowPendingAlarm(const PendingAlarm& pending, AlarmView& view) {
    view.SetDisplayText("AL_HEADER", pending.header);
    view.SetDisplayText("AL_DATE", AlarmDateText(pending));
    if (view.AlarmMenuChecked()) view.SetAlarmMenuCaption("Alarm &On (" + AlarmDateText(pending) + ")");
}

void TakePendingAlarm(const SavedAlarm& entry, PendingAlarm& pending, AlarmView& view) {
    pending = {entry.header, entry.date, entry.time};
    WriteConfigKey("ALHEADER", pending.header);
    WriteConfigKey("ALDATE", pending.date);
    WriteConfigKey("ALTIME", pending.time);
    ShowPendingAlarm(pending, view);
}

void UpdateAlarm(PendingAlarm& pending, const std::string& appPath, const Clock& clock,
                 const RegionalSettings& settings, AlarmView& view) {
    UpdateAlarm(pending, appPath, clock.Now(), settings, view);
}

void UpdateAlarm(PendingAlarm& pending, const std::string& appPath, const DateTime& from,
                 const RegionalSettings& settings, AlarmView& view, int* passedOver) {
    if (passedOver) *passedOver = 0;
    const bool changeAlarm = ReadConfigKey("CHANGEALARM") == "Yes";
    const bool deleteAlarm = ReadConfigKey("DELETEALARM") == "Yes";
    const std::string path = AlarmsPath(appPath);
    if (!FileExists(path)) return;

    SavedAlarmList entries = LoadSavedAlarms(path);
    auto isPending = [&](const SavedAlarm& e) { return e.date == pending.date && e.time == pending.time; };

    if (changeAlarm) {
        const DateTime fromDate = from.DatePart();
        const DateTime fromTime = from.TimePart();
        StoredDates dates(entries, settings, from.year);
        if (passedOver) *passedOver = CountPassedOver(entries, dates, pending, from, settings);

        bool found = false;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            SavedAlarm& entry = entries[i];
            if (isPending(entry)) {
                found = true;
                if (deleteAlarm) entry = {};
                // Written at once: a later entry that does not convert must not
                // keep the launched alarm in the file.
                RewriteSavedAlarms(path, entries);
            }
            if (entry.date.empty()) continue;
            const DateTime& date = dates[i];
            if (date > fromDate || (date == fromDate && StrToTime(entry.time, settings) > fromTime)) {
                TakePendingAlarm(entry, pending, view);
                break;
            }
        }

        // A pending alarm that is not in the file (set by hand): the first entry
        // not before its date, judged by ALDATE as it stands now.
        if (!found) {
            std::optional<DateTime> pendingDate;
            for (std::size_t i = 0; i < entries.size(); ++i) {
                if (pending.date.empty() || entries[i].date.empty()) continue;
                if (!pendingDate) pendingDate = StrToDate(pending.date, settings, from.year);
                if (!(*pendingDate > dates[i])) {
                    TakePendingAlarm(entries[i], pending, view);
                    break;
                }
            }
        }
    } else if (deleteAlarm) {
        bool removed = false;
        for (SavedAlarm& entry : entries) {
            if (!isPending(entry)) continue;
            entry = {};
            removed = true;
        }
        if (removed) RewriteSavedAlarms(path, entries);
    }
}

}  // namespace tolvenmark
