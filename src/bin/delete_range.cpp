#include "bin/delete_range.h"

#include "platform/date_time_text.h"

namespace tolvenmark {

std::string RangeQuestion(const std::string& start, const std::string& end) {
    if (start.empty() && end.empty()) return "ALL Scheduling data will be deleted.  Continue?";
    if (start.empty()) return "All saved alarms before " + end + " will be deleted.  Continue?";
    if (end.empty()) return "All saved alarms after " + start + " will be deleted.  Continue?";
    return "All saved alarms between " + start + " and " + end + " will be deleted.  Continue?";
}

bool EndBeforeStart(const std::string& start, const std::string& end,
                    const RegionalSettings& settings, int currentYear) {
    if (start.empty() || end.empty()) return false;
    return StrToDate(end, settings, currentYear).DatePart() <
           StrToDate(start, settings, currentYear).DatePart();
}

int DeleteAlarmRange(SavedAlarmList& rows, const std::string& start, const std::string& end,
                     const RegionalSettings& settings, int currentYear) {
    DateTime first, last;
    if (!start.empty()) first = StrToDate(start, settings, currentYear).DatePart();
    if (!end.empty()) last = StrToDate(end, settings, currentYear).DatePart();
    int count = 0;
    for (SavedAlarm& row : rows) {
        if (row.date.empty()) continue;
        if (!start.empty() || !end.empty()) {
            const DateTime day = StrToDate(row.date, settings, currentYear).DatePart();
            if (!start.empty() && day < first) continue;
            if (!end.empty() && last < day) continue;
        }
        row = SavedAlarm{};
        ++count;
    }
    return count;
}

std::string RangeReport(int count, const std::string& start, const std::string& end) {
    if (count == 0) return "There were no saved alarms deleted.";
    if (count == 1) return "There was 1 saved alarm deleted.";
    if (start.empty() && end.empty()) return "All " + std::to_string(count) + " saved alarms were deleted.";
    return "There were " + std::to_string(count) + " saved alarms were deleted.";
}

}  // namespace tolvenmark
