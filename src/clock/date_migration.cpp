#include "clock/date_migration.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "bin/bin_files.h"
#include "clock/config.h"
#include "platform/profile_file.h"
#include "clock/date_order.h"
#include "platform/conversion_error.h"
#include "platform/date_time_text.h"
#include "platform/folders.h"

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

std::string DecodeDateString(const std::string& text, int storedCode, const std::string& oldSeparator,
                             int currentCode, const std::string& currentSeparator) {
    const FieldPlaces* from = FindOrder(storedCode);
    const FieldPlaces* to = FindOrder(currentCode);
    if (!from || !to || oldSeparator.empty()) return text;

    const std::size_t first = text.find(oldSeparator);
    if (first == std::string::npos) return text;
    const std::size_t second = text.find(oldSeparator, first + oldSeparator.size());
    if (second == std::string::npos) return text;

    const std::string_view view(text);
    const std::array<std::string_view, 3> parts{
        view.substr(0, first),
        view.substr(first + oldSeparator.size(), second - first - oldSeparator.size()),
        view.substr(second + oldSeparator.size()),
    };
    std::array<std::uint16_t, 3> numbers{};
    for (std::size_t k = 0; k < 3; ++k) {
        auto number = ReadPart(parts[k]);
        if (!number) return text;
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

std::string DecodeDateString(const std::string& text, int storedCode, const RegionalSettings& settings) {
    return DecodeDateString(text, storedCode, ReadConfigKey("ALDATESEP"),
                            CheckDateFormat(settings.shortDateFormat), settings.dateSeparator);
}

bool CheckStoredDateFormat(const std::string& storedFormat, PendingAlarm& pending,
                           const std::string& appPath, const RegionalSettings& settings,
                           Prompts& prompts) {
    const int currentCode = CheckDateFormat(settings.shortDateFormat);
    std::optional<int> storedCode;
    if (!storedFormat.empty()) {
        try {
            storedCode = StrToInt(storedFormat);
        } catch (const ConversionError&) {
        }
    }
    const std::string oldSeparator = ReadConfigKey("ALDATESEP");
    // A new separator alone leaves the order code as it was, yet no stored
    // date would read any more, and recording it would forget the old one.
    const bool separatorChanged = !oldSeparator.empty() && oldSeparator != settings.dateSeparator;
    if (!storedCode || (*storedCode == currentCode && !separatorChanged)) {
        RecordDateFormat(settings);
        return false;
    }

    // Without a writable configuration the new order could not be recorded,
    // and the next start would reorder the rewritten dates once more.
    if (!WritePrivateProfileString("ALARM", "ALFORMAT", storedFormat, ConfigPath()))
        throw OperationError("The file : " + ConfigPath() + " cannot be written.");
    auto decode = [&](const std::string& date) {
        return DecodeDateString(date, *storedCode, oldSeparator, currentCode, settings.dateSeparator);
    };

    // The file first: if it cannot be rewritten, nothing is recorded and the
    // next start migrates again from the same state.
    const std::string path = AlarmsPath(appPath);
    if (FileExists(path)) {
        SavedAlarmList entries = LoadSavedAlarms(path);
        for (SavedAlarm& entry : entries)
            if (!entry.date.empty()) entry.date = decode(entry.date);
        RewriteSavedAlarms(path, entries);
    }

    // An ALDATE missing from the file was filled in memory with today in the
    // current format already; decoding it would turn it into another day.
    if (!ReadConfigKey("ALDATE").empty()) {
        pending.date = decode(pending.date);
        WriteConfigKey("ALDATE", pending.date);
    }

    RecordDateFormat(settings);
    prompts.Warning(kDateFormatChangedMessage);
    return true;
}

}  // namespace tolvenmark
