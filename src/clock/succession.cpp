#include "clock/succession.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "clock/alarm_state.h"
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

// Launched alarms a failed write left in a file, by date and time: they go
// at the next rewrite that succeeds.
class OwedRemovals {
public:
    bool Covers(const SavedAlarm& entry) const {
        return std::find(alarms_.begin(), alarms_.end(), std::pair(entry.date, entry.time)) != alarms_.end();
    }
    void Add(const SavedAlarm& entry) {
        if (!Covers(entry)) alarms_.emplace_back(entry.date, entry.time);
    }
    void Clear() { alarms_.clear(); }

private:
    std::vector<std::pair<std::string, std::string>> alarms_;
};

OwedRemovals& OwedRemovalsOf(const std::string& path) {
    static std::map<std::string, OwedRemovals> byFile;
    return byFile[path];
}

DateTime At(const DateTime& date, const DateTime& time) {
    return {date.year, date.month, date.day, time.hour, time.minute, time.second, 0};
}

// The earliest alarm after `from`, as the storage bin's sort orders them
// (equal ones in file order): lines appended later may ring sooner. A text
// that does not read throws when no alarm ahead came before it in the file,
// as the step always did; after one it is passed over.
struct Ahead {
    std::optional<std::size_t> index;
    DateTime at;
};

Ahead EarliestAhead(const SavedAlarmList& entries, StoredDates& dates, const DateTime& from,
                    const RegionalSettings& settings) {
    const DateTime fromDate = from.DatePart();
    const DateTime fromTime = from.TimePart();
    Ahead next;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const SavedAlarm& entry = entries[i];
        if (entry.date.empty()) continue;
        try {
            const DateTime& date = dates[i];
            if (date < fromDate) continue;
            const DateTime time = entry.time.empty() ? DateTime{} : StrToTime(entry.time, settings);
            if (date == fromDate && !(time > fromTime)) continue;
            const DateTime at = At(date, time);
            if (!next.index || at < next.at) next = {i, at};
        } catch (const ConversionError&) {
            if (!next.index) throw;
        }
    }
    return next;
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

std::optional<PendingAlarm> EarlierSavedAlarm(const PendingAlarm& pending, bool& listed, const std::string& appPath,
                                              const DateTime& now, const RegionalSettings& settings) {
    if (ReadConfigKey("CHANGEALARM") != "Yes") return std::nullopt;
    const std::string path = AlarmsPath(appPath);
    if (!FileExists(path)) return std::nullopt;
    std::vector<std::size_t> longLines;
    const SavedAlarmList entries = LoadSavedAlarms(path, longLines);
    const bool wasListed = std::exchange(listed, std::any_of(entries.begin(), entries.end(), [&](const SavedAlarm& e) {
        return !e.date.empty() && e.date == pending.date && e.time == pending.time;
    }));
    // An alarm set by hand is in no line: the succession would never come back
    // to it. One whose line the user edited or deleted is gone from the list.
    const bool none = AlarmDateText(pending).empty() || (wasListed && !listed);
    if (!none && !listed) return std::nullopt;
    StoredDates dates(entries, settings, now.year);
    const Ahead next = EarliestAhead(entries, dates, now, settings);
    // The user deleted the last saved alarm ahead: none is set any more.
    if (!next.index) {
        if (wasListed && !listed && !AlarmDateText(pending).empty()) return PendingAlarm{};
        return std::nullopt;
    }
    if (!none) {
        const DateTime time = pending.time.empty() ? DateTime{} : StrToTime(pending.time, settings);
        if (!(next.at < At(StrToDate(pending.date, settings, now.year), time))) return std::nullopt;
    }
    const SavedAlarm& entry = entries[*next.index];
    return PendingAlarm{entry.header, entry.date, entry.time};
}

void UpdateAlarm(PendingAlarm& pending, const std::string& appPath, const Clock& clock,
                 const RegionalSettings& settings, AlarmView& view) {
    UpdateAlarm(pending, appPath, clock.Now(), settings, view);
}

void UpdateAlarm(PendingAlarm& pending, const std::string& appPath, const DateTime& from,
                 const RegionalSettings& settings, AlarmView& view, int* passedOver) {
    AlarmState state(&view);
    state.pending = pending;
    try {
        UpdateAlarm(state, appPath, from, settings, passedOver);
    } catch (...) {
        pending = state.pending;
        throw;
    }
    pending = state.pending;
}

void UpdateAlarm(AlarmState& state, const std::string& appPath, const DateTime& from,
                 const RegionalSettings& settings, int* passedOver) {
    const PendingAlarm& pending = state.pending;
    if (passedOver) *passedOver = 0;
    const bool changeAlarm = ReadConfigKey("CHANGEALARM") == "Yes";
    const bool deleteAlarm = ReadConfigKey("DELETEALARM") == "Yes";
    const std::string path = AlarmsPath(appPath);
    if (!FileExists(path)) return;

    std::vector<std::size_t> longLines;
    SavedAlarmList entries = LoadSavedAlarms(path, longLines);
    // No alarm set matches no line, not the blank ones.
    auto isPending = [&](const SavedAlarm& e) {
        return !AlarmDateText(pending).empty() && e.date == pending.date && e.time == pending.time;
    };

    // A full disk must not keep the clock on the alarm that just rang: the step
    // goes on in memory, and what it could not write is said at the end.
    std::vector<std::string> failures;
    OwedRemovals& owed = OwedRemovalsOf(path);
    bool owedInFile = false;
    for (SavedAlarm& entry : entries) {
        if (!owed.Covers(entry)) continue;
        entry = {};
        owedInFile = true;
    }
    auto removeLaunched = [&](SavedAlarm& entry) {
        owed.Add(entry);
        entry = {};
    };
    auto rewrite = [&] {
        // What was cut off a long line would be lost.
        if (!longLines.empty()) return;
        try {
            RewriteSavedAlarms(path, entries);
            owed.Clear();
            owedInFile = false;
        } catch (const OperationError& e) {
            if (failures.empty()) failures.push_back(FileWriteError(path, e.what()));
        }
    };
    auto take = [&](const SavedAlarm& entry) {
        if (!state.Take({entry.header, entry.date, entry.time}, true))
            failures.push_back(FileWriteError(ConfigPath(), errno ? errno : EIO));
    };

    if (changeAlarm) {
        StoredDates dates(entries, settings, from.year);
        if (passedOver) *passedOver = CountPassedOver(entries, dates, pending, from, settings);

        // The launched alarm leaves the file first, wherever its line stands;
        // written at once, so a later entry that does not convert cannot keep it.
        bool found = false;
        for (SavedAlarm& entry : entries) {
            if (!isPending(entry)) continue;
            found = true;
            if (deleteAlarm) removeLaunched(entry);
        }
        if (found) rewrite();

        const std::optional<std::size_t> next = EarliestAhead(entries, dates, from, settings).index;
        if (next) take(entries[*next]);

        // A pending alarm that is not in the file (set by hand) with no saved
        // alarm ahead: the first entry not before its date. After an alarm ahead
        // was taken, file order must not put back one that comes later or passed.
        if (!found && !next) {
            std::optional<DateTime> pendingDate;
            for (std::size_t i = 0; i < entries.size(); ++i) {
                if (pending.date.empty() || entries[i].date.empty()) continue;
                if (!pendingDate) pendingDate = StrToDate(pending.date, settings, from.year);
                if (!(*pendingDate > dates[i])) {
                    take(entries[i]);
                    break;
                }
            }
        }
    } else if (deleteAlarm) {
        for (SavedAlarm& entry : entries) {
            if (!isPending(entry)) continue;
            removeLaunched(entry);
            owedInFile = true;
        }
    }
    if (owedInFile) rewrite();

    if (!longLines.empty()) failures.push_back(LongBinLineMessage(path, longLines.front()));
    if (failures.empty()) return;
    std::string message = failures.front();
    for (std::size_t i = 1; i < failures.size(); ++i) message += "\r\n" + failures[i];
    throw OperationError(message);
}

}  // namespace tolvenmark
