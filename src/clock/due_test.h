#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "clock/pending_alarm.h"
#include "platform/date_time.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

// Seconds since the epoch; wall-clock texts are compared as instants so a
// daylight saving jump neither skips nor repeats an alarm.
using Instant = std::int64_t;

// The local time zone's view of the calendar; tests may give their own.
struct LocalZone {
    std::function<Instant(const DateTime&, int isDst)> toInstant;  // mktime with tm_isdst
    std::function<DateTime(Instant)> toLocal;                      // localtime
    static LocalZone System();
};

// The instant a local date and time first happens: the earlier of a repeated
// hour, the moment of the jump for a time inside a skipped hour.
Instant FirstInstantOf(const DateTime& local, const LocalZone& zone);

// How far behind an alarm may be found and still ring.
inline constexpr Instant kCatchUpSeconds = 600;

enum class DueVerdict { None, Due, Missed };

// The tick's comparison of the pending alarm with the clock. Each tick covers
// the seconds after the previous tick up to now, so a late tick catches up;
// an alarm that rang is never rung again, even when the clock is set back.
class DueTest {
public:
    explicit DueTest(LocalZone zone = LocalZone::System()) : zone_(std::move(zone)) {}

    // alarmOn and the alarm texts as the tick holds them. A date or time that
    // does not read throws ConversionError; the previous tick moves on anyway.
    DueVerdict Check(const DateTime& now, bool alarmOn, const PendingAlarm& alarm,
                     const RegionalSettings& settings);

    // The start-up check that moved a passed alarm on ran at `checked`: the
    // first Check covers every second from there, so an alarm whose second
    // came while the clock was starting rings late or is found missed.
    void CoverFrom(const DateTime& checked);
    // Every second before now counts as covered: a tick that sleeps while
    // nothing is due takes a change as the tick of this second would.
    void CoverBefore(const DateTime& now);

    // After the launch of the alarm Check last found due: where the succession
    // looks for the next saved alarm, so the ones this launch rang over are
    // caught up, none further back than the catch-up window; the next Check
    // covers the seconds from there. Empty for any other alarm.
    std::optional<DateTime> CatchUpFrom(const DateTime& now, const PendingAlarm& launched);

    // The alarm's instant, converted again only when its texts, the year, the
    // settings or the zone's view of that instant changed; throws as Check does.
    Instant AlarmInstant(const DateTime& now, const PendingAlarm& alarm, const RegionalSettings& settings);

private:
    // The first instant of now, found from the previous tick's when the clock
    // simply went on; the full search otherwise.
    Instant CurrentInstant(const DateTime& now);

    struct ConvertedAlarm {
        std::string date;
        std::string time;
        int year = 0;
        RegionalSettings settings;
        Instant at = 0;
        DateTime localAt;  // the zone's local time of at when it was converted
    };

    LocalZone zone_;
    std::optional<ConvertedAlarm> converted_;
    std::optional<Instant> previous_;
    DateTime previousLocal_;
    bool startUncovered_ = false;  // CoverFrom ran, no Check yet
    // The alarm that last rang or was found missed, so it is not taken again.
    std::optional<Instant> doneInstant_;
    PendingAlarm doneAlarm_;
    bool doneWasDue_ = false;
    // Where the next Check starts when a launch passed saved alarms over.
    std::optional<Instant> coverFrom_;
};

// Start-up: a pending alarm dated before today, or today at an earlier time
// than now, lies in the past. An empty date never does.
bool PendingAlarmIsPast(const PendingAlarm& alarm, const DateTime& now, const RegionalSettings& settings);

// "Missed alarm: " + header + " (" + date + " at " + time + ")", then
// " and N more" for the other saved alarms skipped with it.
std::string MissedAlarmText(const PendingAlarm& alarm, int alsoSkipped = 0);

}  // namespace tolvenmark
