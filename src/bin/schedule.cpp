#include "bin/schedule.h"

#include <unordered_set>

#include "bin/day_count.h"
#include "platform/conversion_error.h"
#include "platform/date_order.h"
#include "platform/date_time_text.h"
#include "platform/folders.h"

namespace tolvenmark {

namespace {

// A date text that reads back in the short date format, written in it.
bool ReadableDate(const std::string& text, const RegionalSettings& settings, int currentYear,
                  std::string& written) {
    DateTime value;
    try {
        value = StrToDate(text, settings, currentYear);
    } catch (const ConversionError&) {
        return false;
    }
    written = DateToStr(value, settings);
    return true;
}

// Fields cannot hold a caret, so date^time names one entry exactly as the
// text comparison of IsDuplicateAlarm does.
std::string DuplicateKey(const std::string& date, const std::string& time) {
    return date + '^' + time;
}

}  // namespace

ScheduleStart AdjustScheduleStart(const ScheduleRequest& request, const DateTime& today,
                                  const RegionalSettings& settings) {
    const DateTime start = StrToDate(request.startDate, settings, today.year);
    int y = start.year, m = start.month, d = start.day;
    const int yt = today.year, mt = today.month, dt = today.day;
    if (y < yt) y = yt;
    if (request.interval == ScheduleInterval::MonthlyByDay) {
        const int chosen = request.dayOfMonth;
        if (m <= mt && y == yt) {
            if (d > dt || chosen < dt) m = mt + 1;
            else m = mt;
        }
        d = chosen;
    } else if (m <= mt && y == yt) {
        m = mt;
        if (d < dt) d = dt;
    }
    return {y, m, d};
}

std::string BuildDateText(int year, int month, int day, int dateOrderCode,
                          const RegionalSettings& settings) {
    const std::string digits = std::to_string(dateOrderCode);
    std::string text;
    for (char field : digits) {
        if (!text.empty()) text += settings.dateSeparator;
        text += std::to_string(field == '1' ? month : field == '2' ? day : year);
    }
    return text;
}

std::vector<std::string> ScheduleDates(const ScheduleRequest& request, const ScheduleStart& start,
                                       const RegionalSettings& settings) {
    const int code = CheckDateFormat(settings.shortDateFormat);
    std::vector<std::string> dates;
    std::string written;
    switch (request.interval) {
    case ScheduleInterval::Daily:
        for (int k = 0; k < request.days; ++k) {
            const std::string text = BuildDateText(start.year, start.month, start.day + k, code, settings);
            if (ReadableDate(text, settings, start.year, written)) dates.push_back(written);
        }
        break;
    case ScheduleInterval::MonthlyByDay:
        for (int k = 0; k < request.months; ++k) {
            const std::string text = BuildDateText(start.year, start.month + k, start.day, code, settings);
            if (ReadableDate(text, settings, start.year, written)) dates.push_back(written);
        }
        break;
    case ScheduleInterval::Weekly: {
        const DateTime first = StrToDate(BuildDateText(start.year, start.month, start.day, code, settings),
                                         settings, start.year);
        int w = DayOfWeek(first.year, first.month, first.day);
        int s = 0;
        while (w <= 7 && !request.weekdays[w - 1]) {
            ++w;
            ++s;
        }
        const long firstDay = DayNumber(first.year, first.month, first.day) + s;
        for (long i = 0; i < 7L * request.weeks; ++i) {
            const DateTime day = DateOfDayNumber(firstDay + i);
            if (request.weekdays[DayOfWeek(day.year, day.month, day.day) - 1])
                dates.push_back(DateToStr(day, settings));
        }
        break;
    }
    }
    return dates;
}

int SetSchedule(const ScheduleRequest& request, const std::string& alarmsPath,
                const DateTime& today, const RegionalSettings& settings) {
    const ScheduleStart start = AdjustScheduleStart(request, today, settings);
    // A weekly start that does not exist stops here, before the file is touched.
    const std::vector<std::string> dates = ScheduleDates(request, start, settings);

    std::unordered_set<std::string> existing;
    if (FileExists(alarmsPath)) {
        const SavedAlarmList saved = LoadSavedAlarms(alarmsPath);
        existing.reserve(saved.size() * 2);
        for (const SavedAlarm& alarm : saved) existing.insert(DuplicateKey(alarm.date, alarm.time));
    } else {
        RewriteSavedAlarms(alarmsPath, {});
    }

    SavedAlarmList lines;
    for (const std::string& date : dates) {
        if (existing.count(DuplicateKey(date, request.time))) continue;
        lines.push_back({request.header, date, request.time});
    }
    AppendSavedAlarms(alarmsPath, lines);
    return static_cast<int>(lines.size());
}

}  // namespace tolvenmark
