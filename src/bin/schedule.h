#pragma once

#include <array>
#include <string>
#include <vector>

#include "bin/bin_files.h"
#include "platform/date_time.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

enum class ScheduleInterval { Daily, Weekly, MonthlyByDay };

struct ScheduleRequest {
    ScheduleInterval interval = ScheduleInterval::Daily;
    std::string header;
    std::string startDate;  // short date format
    std::string time;       // long time form, written as it stands
    int days = 1;           // daily: 1 to 365
    std::array<bool, 7> weekdays{};  // weekly: Sunday first
    int weeks = 1;          // weekly: 1 to 52
    int dayOfMonth = 1;     // monthly: 1 to 31
    int months = 1;         // monthly: 1 to 24
};

// Year, month and day of the series' start; not always a valid date.
struct ScheduleStart {
    int year = 0;
    int month = 0;
    int day = 0;
};

// The start date read (ConversionError when it does not read) and moved up
// to today: for daily and weekly series to today's month and day at the
// earliest, for monthly series onto the chosen day of the month.
ScheduleStart AdjustScheduleStart(const ScheduleRequest& request, const DateTime& today,
                                  const RegionalSettings& settings);

// The numbers joined in the order of the date order code with the date
// separator, without leading zeros ("31/4/2003" for 213).
std::string BuildDateText(int year, int month, int day, int dateOrderCode,
                          const RegionalSettings& settings);

// The series' date texts in the short date format, in order. Daily and
// monthly series skip the dates that do not exist (days and months are
// counted on without carrying); a weekly start that does not exist throws
// ConversionError.
std::vector<std::string> ScheduleDates(const ScheduleRequest& request, const ScheduleStart& start,
                                       const RegionalSettings& settings);

// The whole generator on "Alarms.txt": the series appended as lines
// (header, date, time), skipping every date and time already in the file as
// it was before the run; the file is created when missing. Returns the
// number of lines written. ALFORMAT is the caller's to write afterwards.
int SetSchedule(const ScheduleRequest& request, const std::string& alarmsPath,
                const DateTime& today, const RegionalSettings& settings);

}  // namespace tolvenmark
