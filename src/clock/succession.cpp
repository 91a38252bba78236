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
                 const RegionalSettings& settings, AlarmView& view) {
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

int SavedAlarmsPassedOver(const PendingAlarm& pending, const std::string& appPath, const DateTime& upTo,
                          const RegionalSettings& settings) {
    const std::string path = AlarmsPath(appPath);
    if (ReadConfigKey("CHANGEALARM") != "Yes" || !FileExists(path)) return 0;
    auto at = [&](const std::string& date, const std::string& time) {
        const DateTime day = StrToDate(date, settings, upTo.year);
        const DateTime clock = StrToTime(time, settings);
        return DateTime{day.year, day.month, day.day, clock.hour, clock.minute, clock.second, 0};
    };
    DateTime after;
    try {
        after = at(pending.date, pending.time);
    } catch (const ConversionError&) {
        return 0;
    }
    SavedAlarmList entries;
    try {
        entries = LoadSavedAlarms(path);
    } catch (const std::exception&) {
        return 0;  // only a count for a notification; the step itself reports the file
    }
    int count = 0;
    for (const SavedAlarm& entry : entries) {
        if (entry.date.empty()) continue;
        try {
            const DateTime when = at(entry.date, entry.time);
            if (when > after && when <= upTo) ++count;
        } catch (const ConversionError&) {
        }
    }
    return count;
}

}  // namespace tolvenmark
