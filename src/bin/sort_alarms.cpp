#include "bin/sort_alarms.h"

#include <algorithm>
#include <cstdint>
#include <limits>
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

// The selection as it is defined, on values read once: the reference for the
// quicker form below and the only form used when some text does not convert,
// since it throws at the very comparison that first needs such a text.
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
constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::max();

// The same selection when every text converted, in O(n log n). Positions
// below the current one are always spent, so a round looks at the entries
// still waiting, in file order, from the first: the earliest (date, time)
// wins, the first of equals winning, unless some entry without a time comes
// first whose date is earlier than every timed entry before it (it then
// wins). Such an entry stays so until it is taken, as entries only go.
// A segment tree over the waiting entries answers both questions.
class Selection {
public:
    struct Waiting {
        std::size_t row;
        bool timed;
        std::int64_t date;  // date key
        std::int64_t key;   // date and time, for timed entries
    };

    explicit Selection(std::vector<Waiting> waiting) : waiting_(std::move(waiting)) {
        while (size_ < waiting_.size()) size_ *= 2;
        nodes_.assign(2 * size_, Node{});
        for (std::size_t k = 0; k < waiting_.size(); ++k) nodes_[size_ + k] = Leaf(k);
        for (std::size_t i = size_ - 1; i >= 1; --i) nodes_[i] = Join(nodes_[2 * i], nodes_[2 * i + 1]);
    }

    // The row the next round takes, or nothing when all are taken.
    std::optional<std::size_t> Take() {
        const Node& root = nodes_[1];
        std::size_t k;
        if (root.untimedWinner != kNone) {
            // The first untimed entry earlier than every timed one before it.
            std::size_t i = 1;
            std::int64_t before = kNone;  // earliest timed date left of node i
            while (i < size_) {
                const Node& left = nodes_[2 * i];
                if (left.untimedWinner < before) {
                    i = 2 * i;
                } else {
                    before = std::min(before, left.timedDate);
                    i = 2 * i + 1;
                }
            }
            k = i - size_;
        } else if (root.timedKey != kNone) {
            k = root.timedAt;
        } else {
            return std::nullopt;
        }
        std::size_t i = size_ + k;
        nodes_[i] = Node{};
        for (i /= 2; i >= 1; i /= 2) nodes_[i] = Join(nodes_[2 * i], nodes_[2 * i + 1]);
        return waiting_[k].row;
    }

private:
    struct Node {
        std::int64_t timedDate = kNone;      // earliest date of a timed entry
        std::int64_t timedKey = kNone;       // earliest date and time of a timed entry
        std::size_t timedAt = 0;             // the first entry with it
        std::int64_t untimedWinner = kNone;  // earliest date of an untimed entry earlier
                                             // than every timed one before it in the node
    };

    Node Leaf(std::size_t k) const {
        const Waiting& w = waiting_[k];
        Node node;
        if (w.timed) {
            node.timedDate = w.date;
            node.timedKey = w.key;
            node.timedAt = k;
        } else {
            node.untimedWinner = w.date;
        }
        return node;
    }

    static Node Join(const Node& left, const Node& right) {
        Node node;
        node.timedDate = std::min(left.timedDate, right.timedDate);
        if (right.timedKey < left.timedKey) {
            node.timedKey = right.timedKey;
            node.timedAt = right.timedAt;
        } else {
            node.timedKey = left.timedKey;
            node.timedAt = left.timedAt;
        }
        node.untimedWinner = std::min(left.untimedWinner,
                                      right.untimedWinner < left.timedDate ? right.untimedWinner : kNone);
        return node;
    }

    std::vector<Waiting> waiting_;
    std::size_t size_ = 1;
    std::vector<Node> nodes_;
};

std::optional<SavedAlarmList> SelectQuickly(const SavedAlarmList& alarms, const std::vector<Entry>& entries) {
    std::vector<Selection::Waiting> waiting;
    waiting.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        if (!e.hasDate) continue;
        if (e.date.error || (e.hasTime && e.time.error)) return std::nullopt;
        auto date = DateKey(e.date.value);
        if (!date) return std::nullopt;
        Selection::Waiting w{i, e.hasTime, *date, 0};
        if (e.hasTime) {
            auto time = TimeKey(e.time.value);
            if (!time) return std::nullopt;
            w.key = *date * kTimeSpan + *time;
        }
        waiting.push_back(w);
    }

    SavedAlarmList sorted;
    sorted.reserve(waiting.size());
    // Without untimed entries every round takes the earliest, the first of
    // equals: a stable sort.
    if (std::all_of(waiting.begin(), waiting.end(), [](const auto& w) { return w.timed; })) {
        std::stable_sort(waiting.begin(), waiting.end(), [](const auto& a, const auto& b) { return a.key < b.key; });
        for (const auto& w : waiting) sorted.push_back(alarms[w.row]);
        return sorted;
    }
    Selection selection(std::move(waiting));
    while (auto row = selection.Take()) sorted.push_back(alarms[*row]);
    return sorted;
}

}  // namespace

SavedAlarmList SortAlarms(const SavedAlarmList& alarms, const RegionalSettings& settings,
                          int currentYear) {
    std::vector<Entry> entries = ReadEntries(alarms, settings, currentYear);
    if (auto sorted = SelectQuickly(alarms, entries)) return *sorted;
    return SelectBySelection(alarms, std::move(entries));
}

}  // namespace tolvenmark
