#include "bin/sort_alarms.h"

#include <cstdint>
#include <optional>

#include "platform/conversion_error.h"
#include "platform/date_time_text.h"

namespace tolvenmark {

namespace {

// A text read once: its value, or the message its conversion failed with.
struct ReadValue {
    DateTime value;
    std::optional<std::string> error;

    const DateTime& Get() const {
        if (error) throw ConversionError(*error);
        return value;
    }
};

struct Entry {
    bool hasDate = false;
    bool hasTime = false;
    ReadValue date;
    ReadValue time;
};

template <typename Read>
ReadValue ReadOnce(Read read) {
    ReadValue result;
    try {
        result.value = read();
    } catch (const ConversionError& e) {
        result.error = e.what();
    }
    return result;
}

std::vector<Entry> ReadEntries(const SavedAlarmList& alarms, const RegionalSettings& settings,
                               int currentYear) {
    std::vector<Entry> entries(alarms.size());
    for (std::size_t i = 0; i < alarms.size(); ++i) {
        const SavedAlarm& alarm = alarms[i];
        Entry& entry = entries[i];
        entry.hasDate = !alarm.date.empty();
        entry.hasTime = !alarm.time.empty();
        // Only an entry with a date is ever compared, and only by the texts it has.
        if (entry.hasDate)
            entry.date = ReadOnce([&] { return StrToDate(alarm.date, settings, currentYear); });
        if (entry.hasDate && entry.hasTime)
            entry.time = ReadOnce([&] { return StrToTime(alarm.time, settings); });
    }
    return entries;
}

// The selection as it is defined, on values read once. Positions below c are
// always spent, so this is the reference for the quicker form below and the
// only form used when some text does not convert: it throws at the very
// comparison that first needs such a text.
SavedAlarmList SelectBySelection(const SavedAlarmList& alarms, std::vector<Entry> entries) {
    SavedAlarmList sorted;
    const std::size_t n = entries.size();
    std::size_t c = 0;
    while (c < n) {
        std::size_t b = c;
        bool moved = false;
        for (std::size_t j = 0; j < n; ++j) {
            if (j == c) continue;
            if (!(entries[b].hasDate && entries[b].hasTime && entries[j].hasDate)) continue;
            const DateTime& dj = entries[j].date.Get();
            const DateTime& db = entries[b].date.Get();
            if (dj < db) {
                b = j;
                moved = true;
            } else if (dj == db && entries[j].hasTime) {
                const DateTime& tj = entries[j].time.Get();
                const DateTime& tb = entries[b].time.Get();
                if (tj < tb) {
                    b = j;
                    moved = true;
                }
            }
        }
        if (entries[b].hasDate) {
            sorted.push_back(alarms[b]);
            entries[b].hasDate = entries[b].hasTime = false;
        }
        if (!moved) ++c;
    }
    return sorted;
}

// Date and time packed so that integer order is the order of the values.
std::optional<std::int64_t> DateKey(const DateTime& d) {
    if (d.year < -1000000 || d.year > 1000000 || d.month < 0 || d.month > 15 || d.day < 0 ||
        d.day > 31 || d.hour != 0 || d.minute != 0 || d.second != 0 || d.millisecond != 0)
        return std::nullopt;
    return (static_cast<std::int64_t>(d.year) * 16 + d.month) * 32 + d.day;
}

std::optional<std::int64_t> TimeKey(const DateTime& t) {
    if (t.DatePart() != DateTime{}.DatePart() || t.hour < 0 || t.hour > 63 || t.minute < 0 ||
        t.minute > 63 || t.second < 0 || t.second > 63 || t.millisecond < 0 || t.millisecond > 1023)
        return std::nullopt;
    return ((static_cast<std::int64_t>(t.hour) * 64 + t.minute) * 64 + t.second) * 1024 + t.millisecond;
}

constexpr std::int64_t kTimeSpan = std::int64_t{1} << 32;

// The same selection when every text converted. Since the positions below
// the current one are always spent, each round is one pass over the entries
// still waiting, in file order: the earliest (date, time) wins, the first of
// equals winning, unless an entry without a time comes first whose date is
// earlier than every dated and timed entry before it; the waiting entries sit
// in a linked list, so a round costs the number still waiting.
std::optional<SavedAlarmList> SelectByPass(const SavedAlarmList& alarms,
                                           const std::vector<Entry>& entries) {
    struct Waiting {
        std::size_t row;
        bool timed;
        std::int64_t date;  // date key
        std::int64_t key;   // date and time, for timed entries
    };
    std::vector<Waiting> waiting;
    waiting.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        if (!e.hasDate) continue;
        if (e.date.error || (e.hasTime && e.time.error)) return std::nullopt;
        auto date = DateKey(e.date.value);
        if (!date) return std::nullopt;
        Waiting w{i, e.hasTime, *date, 0};
        if (e.hasTime) {
            auto time = TimeKey(e.time.value);
            if (!time) return std::nullopt;
            w.key = *date * kTimeSpan + *time;
        }
        waiting.push_back(w);
    }

    const std::size_t m = waiting.size();
    constexpr std::size_t kEnd = static_cast<std::size_t>(-1);
    std::vector<std::size_t> next(m);
    for (std::size_t k = 0; k < m; ++k) next[k] = k + 1 < m ? k + 1 : kEnd;
    std::size_t head = m ? 0 : kEnd;

    SavedAlarmList sorted;
    sorted.reserve(m);
    while (head != kEnd) {
        std::size_t best = head;
        std::size_t beforeBest = kEnd;  // kEnd: best is the head
        if (waiting[head].timed) {
            std::int64_t bestKey = waiting[head].key;
            std::int64_t bestDate = waiting[head].date;
            for (std::size_t prev = head, j = next[head]; j != kEnd; prev = j, j = next[j]) {
                const Waiting& w = waiting[j];
                if (w.timed) {
                    if (w.key < bestKey) {
                        best = j;
                        beforeBest = prev;
                        bestKey = w.key;
                        bestDate = w.date;
                    }
                } else if (w.date < bestDate) {
                    best = j;
                    beforeBest = prev;
                    break;
                }
            }
        }
        sorted.push_back(alarms[waiting[best].row]);
        if (beforeBest == kEnd)
            head = next[best];
        else
            next[beforeBest] = next[best];
    }
    return sorted;
}

}  // namespace

SavedAlarmList SortAlarms(const SavedAlarmList& alarms, const RegionalSettings& settings,
                          int currentYear) {
    std::vector<Entry> entries = ReadEntries(alarms, settings, currentYear);
    if (auto sorted = SelectByPass(alarms, entries)) return *sorted;
    return SelectBySelection(alarms, std::move(entries));
}

}  // namespace tolvenmark
