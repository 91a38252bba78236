#include "clock/date_migration.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <cerrno>

#include "bin/bin_files.h"
#include "bin/bin_line.h"
#include "clock/date_migration_journal.h"
#include "clock/config.h"
#include "platform/profile_file.h"
#include "clock/date_order.h"
#include "platform/conversion_error.h"
#include "platform/date_time_text.h"
#include "platform/folders.h"
#include "platform/regular_file.h"

namespace tolvenmark {

namespace {

// For each DateOrderCode, the part holding month, day and year (0-based),
// which is also where each goes when written in that order.
struct FieldPlaces {
    int code;
    int month;
    int day;
    int year;
};

constexpr std::array<FieldPlaces, 6> kOrders{{
    {123, 0, 1, 2},
    {132, 0, 2, 1},
    {213, 1, 0, 2},
    {231, 2, 0, 1},
    {312, 1, 2, 0},
    {321, 2, 1, 0},
}};

const FieldPlaces* FindOrder(int code) {
    for (const auto& order : kOrders)
        if (order.code == code) return &order;
    return nullptr;
}

// Plain decimal digits, blanks around them allowed, as an unsigned 16-bit value.
std::optional<std::uint16_t> ReadPart(std::string_view part) {
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    if (part.empty()) return std::nullopt;
    std::uint32_t value = 0;
    for (char ch : part) {
        if (ch < '0' || ch > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(ch - '0');
        if (value > 0xFFFF) return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<std::string> TryDecodeDateString(const std::string& text, int storedCode,
                                               const std::string& oldSeparator, int currentCode,
                                               const std::string& currentSeparator) {
    const FieldPlaces* from = FindOrder(storedCode);
    const FieldPlaces* to = FindOrder(currentCode);
    if (!from || !to || oldSeparator.empty()) return std::nullopt;

    const std::size_t first = text.find(oldSeparator);
    if (first == std::string::npos) return std::nullopt;
    const std::size_t second = text.find(oldSeparator, first + oldSeparator.size());
    if (second == std::string::npos) return std::nullopt;

    const std::string_view view(text);
    const std::array<std::string_view, 3> parts{
        view.substr(0, first),
        view.substr(first + oldSeparator.size(), second - first - oldSeparator.size()),
        view.substr(second + oldSeparator.size()),
    };
    std::array<std::uint16_t, 3> numbers{};
    for (std::size_t k = 0; k < 3; ++k) {
        auto number = ReadPart(parts[k]);
        if (!number) return std::nullopt;
        numbers[k] = *number;
    }

    const std::uint16_t month = numbers[from->month];
    const std::uint16_t day = numbers[from->day];
    const std::uint16_t year = numbers[from->year];
    std::array<std::string, 3> out;
    out[to->month] = std::to_string(month);
    out[to->day] = std::to_string(day);
    out[to->year] = std::to_string(year);
    return out[0] + currentSeparator + out[1] + currentSeparator + out[2];
}

std::string DecodeDateString(const std::string& text, int storedCode, const std::string& oldSeparator,
                             int currentCode, const std::string& currentSeparator) {
    return TryDecodeDateString(text, storedCode, oldSeparator, currentCode, currentSeparator).value_or(text);
}

std::string DecodeDateString(const std::string& text, int storedCode, const RegionalSettings& settings) {
    std::string oldSeparator = ReadConfigKey("ALDATESEP");
    if (oldSeparator.empty()) oldSeparator = settings.dateSeparator;
    return DecodeDateString(text, storedCode, oldSeparator, CheckDateFormat(settings.shortDateFormat),
                            settings.dateSeparator);
}

std::string DateFormatChangedMessage(int unreadable) {
    if (unreadable == 0) return kDateFormatChangedMessage;
    return "A Windows Date Format change was detected and the stored alarm dates were updated, except " +
           std::to_string(unreadable) + (unreadable == 1 ? " date that could not be read and was" :
                                                           " dates that could not be read and were") +
           " kept as stored.  Please restart the program.";
}

namespace {

// Redoes the whole migration from what the journal kept, so running it again
// after any interruption gives the same result; the journal goes last.
int FinishMigration(const MigrationJournal& journal, const std::string& journalPath, PendingAlarm& pending,
                    const std::string& appPath, const RegionalSettings& settings) {
    const int currentCode = CheckDateFormat(settings.shortDateFormat);
    int unreadable = 0;
    auto decode = [&](const std::string& date) {
        auto decoded = TryDecodeDateString(date, journal.storedCode, journal.oldSeparator, currentCode,
                                           settings.dateSeparator);
        if (!decoded) ++unreadable;
        return decoded.value_or(date);
    };

    if (journal.hadAlarms) {
        SavedAlarmList entries;
        for (const auto& line : ReadBinLines(journal.alarms)) {
            auto fields = SplitBinLine(line);
            entries.push_back({std::move(fields[0]), std::move(fields[1]), std::move(fields[2])});
        }
        for (SavedAlarm& entry : entries)
            if (!entry.date.empty()) entry.date = decode(entry.date);
        const std::string path = AlarmsPath(appPath);
        try {
            RewriteSavedAlarms(path, entries);
        } catch (const OperationError& e) {
            throw OperationError(FileWriteError(path, e.what()));
        }
    }

    // An ALDATE missing from the file was filled in memory with today in the
    // current format already; decoding it would turn it into another day.
    if (!journal.alDate.empty()) {
        pending.date = decode(journal.alDate);
        WriteConfigKeyChecked("ALDATE", pending.date);
    }
    RecordDateFormatChecked(settings);
    RemoveMigrationJournal(journalPath);
    return unreadable;
}

}  // namespace

bool CheckStoredDateFormat(const std::string& storedFormat, PendingAlarm& pending,
                           const std::string& appPath, const RegionalSettings& settings,
                           Prompts& prompts) {
    return CheckStoredDateFormat(storedFormat, ReadConfigKey("ALDATESEP"), pending, appPath, settings, prompts);
}

bool CheckStoredDateFormat(const std::string& storedFormat, const std::string& storedSeparator,
                           PendingAlarm& pending, const std::string& appPath,
                           const RegionalSettings& settings, Prompts& prompts) {
    const std::string journalPath = MigrationJournalPath(ConfigPath());
    std::optional<MigrationJournal> journal = ReadMigrationJournal(journalPath);
    if (!journal) {
        const int currentCode = CheckDateFormat(settings.shortDateFormat);
        std::optional<int> storedCode;
        if (!storedFormat.empty()) {
            try {
                storedCode = StrToInt(storedFormat);
            } catch (const ConversionError&) {
            }
        }
        // An unknown code (a hand-edited one) says nothing about the stored dates.
        if (storedCode && !FindOrder(*storedCode)) storedCode.reset();
        // An empty separator is read as the current one.
        const std::string oldSeparator = storedSeparator.empty() ? settings.dateSeparator : storedSeparator;
        // A new separator alone leaves the order code as it was, yet no stored
        // date would read any more, and recording it would forget the old one.
        if (!storedCode || (*storedCode == currentCode && oldSeparator == settings.dateSeparator)) {
            RecordDateFormat(settings);
            return false;
        }

        // Without a writable configuration the new order could not be
        // recorded: find out before anything is changed.
        WriteConfigKeyChecked("ALFORMAT", storedFormat);
        const std::string alarmsPath = AlarmsPath(appPath);
        journal = MigrationJournal{*storedCode, oldSeparator, ReadConfigKey("ALDATE"), FileExists(alarmsPath), {}};
        if (journal->hadAlarms) {
            if (const int error = ReadRegularFile(alarmsPath, journal->alarms))
                throw OperationError(FileReadError(alarmsPath, error));
        }
        WriteMigrationJournal(journalPath, *journal);
    }

    const int unreadable = FinishMigration(*journal, journalPath, pending, appPath, settings);
    prompts.Warning(DateFormatChangedMessage(unreadable));
    return true;
}

}  // namespace tolvenmark
