#include "clock/due_test.h"

#include <algorithm>
#include <ctime>

#include "platform/date_time_text.h"

namespace tolvenmark {

LocalZone LocalZone::System() {
    LocalZone zone;
    zone.toInstant = [](const DateTime& local, int isDst) {
        std::tm tm{};
        tm.tm_year = local.year - 1900;
        tm.tm_mon = local.month - 1;
        tm.tm_mday = local.day;
        tm.tm_hour = local.hour;
        tm.tm_min = local.minute;
        tm.tm_sec = local.second;
        tm.tm_isdst = isDst;
        return static_cast<Instant>(std::mktime(&tm));
    };
    zone.toLocal = [](Instant instant) {
        const std::time_t t = static_cast<std::time_t>(instant);
        std::tm tm{};
        localtime_r(&t, &tm);
        return DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, 0};
    };
    return zone;
}

namespace {

DateTime Seconds(DateTime value) {
    value.millisecond = 0;
    return value;
}

// Seconds of a calendar time counted as if no zone had any offset.
std::int64_t CalendarSeconds(const DateTime& t) {
    const int y = t.year - (t.month <= 2);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (t.month + (t.month > 2 ? -3 : 9)) + 2) / 5 + t.day - 1;
    const std::int64_t days = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
    return days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

// A tick may come late by a second; longer steps take the full search.
constexpr std::int64_t kLongestStep = 2;

}  // namespace

Instant FirstInstantOf(const DateTime& local, const LocalZone& zone) {
    const DateTime wanted = Seconds(local);
    const Instant standard = zone.toInstant(wanted, 0);
    const Instant summer = zone.toInstant(wanted, 1);
    const bool standardHits = zone.toLocal(standard) == wanted;
    const bool summerHits = zone.toLocal(summer) == wanted;
    if (standardHits && summerHits) return std::min(standard, summer);
    if (standardHits) return standard;
    if (summerHits) return summer;
    // Inside a skipped hour: the first instant whose local time is not earlier.
    Instant low = std::min(standard, summer);
    Instant high = std::max(standard, summer);
    if (zone.toLocal(high) < wanted) return high;
    while (low < high) {
        const Instant mid = low + (high - low) / 2;
        if (zone.toLocal(mid) < wanted)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

DueVerdict DueTest::Check(const DateTime& now, bool alarmOn, const PendingAlarm& alarm,
                          const RegionalSettings& settings) {
    const Instant current = CurrentInstant(now);
    // A first tick without a start-up check covers its own second only.
    Instant after = previous_.value_or(current - 1);
    if (coverFrom_) after = std::min(after, *coverFrom_);
    coverFrom_.reset();
    startUncovered_ = false;
    previous_ = current;
    if (!alarmOn || alarm.date.empty() || alarm.time.empty()) return DueVerdict::None;

    const Instant at = AlarmInstant(now, alarm, settings);
    if (at <= after || at > current) return DueVerdict::None;
    if (doneInstant_ == at && doneAlarm_ == alarm) return DueVerdict::None;
    doneInstant_ = at;
    doneAlarm_ = alarm;
    doneWasDue_ = current - at <= kCatchUpSeconds;
    return doneWasDue_ ? DueVerdict::Due : DueVerdict::Missed;
}

void DueTest::CoverFrom(const DateTime& checked) {
    previous_ = FirstInstantOf(checked, zone_) - 1;
    previousLocal_ = zone_.toLocal(*previous_);
    startUncovered_ = true;
}

void DueTest::CoverBefore(const DateTime& now) {
    // A tick of this second, or a clock set back, has covered more already;
    // before the first tick the seconds since the start-up check are still owed.
    const Instant before = FirstInstantOf(now, zone_) - 1;
    if (startUncovered_ || (previous_ && *previous_ >= before)) return;
    previous_ = before;
    previousLocal_ = Seconds(zone_.toLocal(before));
}

std::optional<DateTime> DueTest::CatchUpFrom(const DateTime& now, const PendingAlarm& launched) {
    if (!doneInstant_ || !doneWasDue_ || !(doneAlarm_ == launched)) return std::nullopt;
    doneWasDue_ = false;
    const Instant from = std::max(*doneInstant_, FirstInstantOf(now, zone_) - kCatchUpSeconds);
    coverFrom_ = from;
    return zone_.toLocal(from);
}

Instant DueTest::CurrentInstant(const DateTime& now) {
    const DateTime wanted = Seconds(now);
    if (previous_) {
        // Within a stretch without a zone transition the wall clock and the
        // instants advance together; a step that lands on wanted is its first
        // instant, as the previous one was for its own time.
        const std::int64_t step = CalendarSeconds(wanted) - CalendarSeconds(previousLocal_);
        if (step >= 0 && step <= kLongestStep && zone_.toLocal(*previous_ + step) == wanted) {
            previousLocal_ = wanted;
            return *previous_ + step;
        }
    }
    previousLocal_ = wanted;
    return FirstInstantOf(wanted, zone_);
}

Instant DueTest::AlarmInstant(const DateTime& now, const PendingAlarm& alarm, const RegionalSettings& settings) {
    // A changed time zone shows as a different local time of the same instant.
    if (converted_ && converted_->date == alarm.date && converted_->time == alarm.time &&
        converted_->year == now.year && converted_->settings == settings &&
        zone_.toLocal(converted_->at) == converted_->localAt)
        return converted_->at;
    converted_.reset();
    const DateTime date = StrToDate(alarm.date, settings, now.year);
    const DateTime time = StrToTime(alarm.time, settings);
    const Instant at =
        FirstInstantOf({date.year, date.month, date.day, time.hour, time.minute, time.second, 0}, zone_);
    converted_ = ConvertedAlarm{alarm.date, alarm.time, now.year, settings, at, zone_.toLocal(at)};
    return at;
}

bool PendingAlarmIsPast(const PendingAlarm& alarm, const DateTime& now, const RegionalSettings& settings) {
    if (alarm.date.empty()) return false;
    const DateTime date = StrToDate(alarm.date, settings, now.year);
    const DateTime today = now.DatePart();
    if (date < today) return true;
    // Without a time there is nothing to have passed today.
    return date == today && !alarm.time.empty() && now.TimePart() > StrToTime(alarm.time, settings);
}

std::string MissedAlarmText(const PendingAlarm& alarm, int alsoSkipped) {
    std::string text = "Missed alarm: " + alarm.header + " (" + AlarmDateText(alarm) + ")";
    if (alsoSkipped > 0) text += " and " + std::to_string(alsoSkipped) + " more";
    return text;
}

}  // namespace tolvenmark
