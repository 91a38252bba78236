#include "bin/sort_alarms.h"

#include <optional>
#include <random>

#include <gtest/gtest.h>

#include "platform/conversion_error.h"
#include "platform/date_time_text.h"

namespace tolvenmark {
namespace {

constexpr int kYear = 2003;

// The selection written down step by step, positions 1..n, reading the texts
// on every comparison and emptying the chosen position.
SavedAlarmList ReferenceSort(SavedAlarmList rows, const RegionalSettings& s) {
    auto date = [&](const SavedAlarm& a) { return StrToDate(a.date, s, kYear); };
    auto time = [&](const SavedAlarm& a) { return StrToTime(a.time, s); };
    SavedAlarmList out;
    const std::size_t n = rows.size();
    std::size_t c = 1;
    while (c <= n) {
        std::size_t b = c;
        bool moved = false;
        for (std::size_t j = 1; j <= n; ++j) {
            if (j == c) continue;
            const SavedAlarm& J = rows[j - 1];
            const SavedAlarm& B = rows[b - 1];
            if (!B.date.empty() && !B.time.empty() && !J.date.empty()) {
                DateTime dj = date(J);
                DateTime db = date(B);
                if (dj < db) {
                    b = j;
                    moved = true;
                } else {
                    dj = date(J);
                    db = date(B);
                    if (dj == db && !J.time.empty()) {
                        DateTime tj = time(J);
                        DateTime tb = time(B);
                        if (tj < tb) {
                            b = j;
                            moved = true;
                        }
                    }
                }
            }
        }
        if (!rows[b - 1].date.empty()) {
            out.push_back(rows[b - 1]);
            rows[b - 1] = {};
        }
        if (!moved) ++c;
    }
    return out;
}

// Either the sorted list or the message the sort stopped with.
struct Outcome {
    SavedAlarmList sorted;
    std::optional<std::string> error;
    bool operator==(const Outcome&) const = default;
};

template <typename Sort>
Outcome Capture(Sort sort) {
    try {
        return {sort(), std::nullopt};
    } catch (const ConversionError& e) {
        return {{}, std::string(e.what())};
    }
}

std::vector<std::string> Headers(const SavedAlarmList& list) {
    std::vector<std::string> h;
    for (const auto& a : list) h.push_back(a.header);
    return h;
}

TEST(SortAlarms, OrdersByDateThenTime) {
    const SavedAlarmList input{{"2", "5/1/2003", "8:00:00 AM"},
                               {"1", "4/30/2003", "9:00:00 AM"},
                               {"3", "5/1/2003", "7:00:00 AM"}};
    EXPECT_EQ(Headers(SortAlarms(input, RegionalSettings{}, kYear)), (std::vector<std::string>{"1", "3", "2"}));
}

TEST(SortAlarms, KeepsEqualEntriesInOrderAndDropsUndated) {
    const SavedAlarmList input{{"a", "5/1/2003", "8:00:00 AM"},
                               {"gone", "", "6:00:00 AM"},
                               {"b", "5/1/2003", "8:00:00 AM"},
                               {"early", "5/1/2003", "7:00:00 AM"},
                               {"c", "5/1/2003", "08:00:00 AM"}};
    EXPECT_EQ(Headers(SortAlarms(input, RegionalSettings{}, kYear)),
              (std::vector<std::string>{"early", "a", "b", "c"}));
}

TEST(SortAlarms, EntryWithoutTimeHoldsItsPlaceAndMovesByDateOnly) {
    const SavedAlarmList input{{"late", "5/9/2003", "8:00:00 AM"},
                               {"no time", "5/3/2003", ""},
                               {"early", "5/1/2003", "7:00:00 AM"},
                               {"same day", "5/3/2003", "6:00:00 AM"}};
    // "no time" displaces "late" by its date, then is never displaced itself,
    // even by an earlier date further down.
    EXPECT_EQ(Headers(SortAlarms(input, RegionalSettings{}, kYear)),
              (std::vector<std::string>{"no time", "early", "same day", "late"}));
}

TEST(SortAlarms, UnreadableTextsFailOnlyWhenCompared) {
    const RegionalSettings s;  // month/day/year, 12-hour times
    struct Case {
        SavedAlarmList input;
        std::optional<std::string> error;
        const char* proves;
    } cases[] = {
        {{{"only", "31/31/2003", "bad"}}, std::nullopt, "a lone entry is never compared"},
        {{{"a", "5/1/2003", "8:00:00 AM"}, {"b", "not a date", "7:00:00 AM"}},
         "'not a date' is not a valid date", "a bad date stops the sort"},
        {{{"a", "5/1/2003", "8:00:00 AM"}, {"b", "5/2/2003", "soon"}}, std::nullopt,
         "a bad time on another day is never read"},
        {{{"a", "5/1/2003", "8:00:00 AM"}, {"b", "5/1/2003", "soon"}}, "'soon' is not a valid time",
         "a bad time on the same day is read"},
        {{{"a", "x", "8:00:00 AM"}, {"b", "y", "7:00:00 AM"}}, "'y' is not a valid date",
         "the later entry's date is read first"},
        {{{"a", "", "8:00:00 AM"}, {"b", "5/1/2003", ""}, {"c", "q", ""}}, std::nullopt,
         "entries without time never compare"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.proves);
        const Outcome got = Capture([&] { return SortAlarms(c.input, s, kYear); });
        EXPECT_EQ(got.error, c.error);
        EXPECT_EQ(got, Capture([&] { return ReferenceSort(c.input, s); }));
    }
}

SavedAlarmList RandomList(std::mt19937& rng, std::size_t n, bool withBadTexts) {
    std::uniform_int_distribution<int> pick(0, 99);
    std::uniform_int_distribution<int> day(1, 4);
    std::uniform_int_distribution<int> hour(1, 3);
    SavedAlarmList list;
    for (std::size_t i = 0; i < n; ++i) {
        SavedAlarm a;
        a.header = std::to_string(i);
        int roll = pick(rng);
        if (roll < 10)
            a.date = "";
        else if (withBadTexts && roll < 12)
            a.date = "bad" + std::to_string(i);
        else
            a.date = "5/" + std::to_string(day(rng)) + "/2003";
        roll = pick(rng);
        if (roll < 15)
            a.time = "";
        else if (withBadTexts && roll < 17)
            a.time = "late" + std::to_string(i);
        else
            a.time = std::to_string(hour(rng)) + ":00:00 " + (pick(rng) < 50 ? "AM" : "PM");
        list.push_back(a);
    }
    return list;
}

TEST(SortAlarms, MatchesTheStepByStepSelectionOnRandomLists) {
    const RegionalSettings s;  // month/day/year, 12-hour times
    std::mt19937 rng(20030420);
    for (int round = 0; round < 600; ++round) {
        const std::size_t n = static_cast<std::size_t>(round % 50 == 49 ? 300 : round % 40);
        const bool bad = round % 3 == 0;
        const SavedAlarmList input = RandomList(rng, n, bad);
        SCOPED_TRACE("round " + std::to_string(round));
        const Outcome got = Capture([&] { return SortAlarms(input, s, kYear); });
        ASSERT_EQ(got, Capture([&] { return ReferenceSort(input, s); }));
    }
}

// Larger lists over more days and times, where the quick selection's tree
// is several levels deep; a few entries without a date or a time.
TEST(SortAlarms, MatchesTheStepByStepSelectionOnLargeLists) {
    const RegionalSettings s;
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> pick(0, 99), day(1, 28), hour(1, 12), minute(0, 3);
    for (std::size_t n : {257u, 1000u, 1500u}) {
        SavedAlarmList input;
        for (std::size_t i = 0; i < n; ++i) {
            const int roll = pick(rng);
            input.push_back({std::to_string(i), roll < 3 ? "" : "5/" + std::to_string(day(rng)) + "/2003",
                             roll >= 3 && roll < 8 ? ""
                                                   : std::to_string(hour(rng)) + ":0" + std::to_string(minute(rng)) +
                                                         ":00 " + (pick(rng) < 50 ? "AM" : "PM")});
        }
        SCOPED_TRACE(n);
        ASSERT_EQ(SortAlarms(input, s, kYear), ReferenceSort(input, s));
    }
}

}  // namespace
}  // namespace tolvenmark
