#pragma once

#include <optional>
#include <string>

#include "bin/bin_files.h"
#include "clock/alarm_state.h"
#include "clock/pending_alarm.h"
#include "platform/clock.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

// After a launch, or at start-up when the pending alarm lies in the past:
// with DELETEALARM "Yes" the launched alarm leaves "Alarms.txt"; with
// CHANGEALARM "Yes" the earliest saved alarm ahead becomes pending. Without the file
// nothing changes. A stored date or time that does not convert throws
// ConversionError (what was done before stays done); a file that cannot be
// read throws OperationError. A file that cannot be written does not stop the
// step: it goes on in memory and then throws OperationError naming the file;
// the launched alarm leaves "Alarms.txt" at the next rewrite that succeeds.
// A line too long to read (kMaxBinLineBytes) is cut and named in that
// message, and "Alarms.txt" is not rewritten.
void UpdateAlarm(PendingAlarm& pending, const std::string& appPath, const Clock& clock,
                 const RegionalSettings& settings, AlarmView& view);

// The same step looking for the next saved alarm after `from` instead of
// after now: a launch that rang late passes on to the alarms it rang over.
// With passedOver, and CHANGEALARM "Yes": how many saved alarms lay after the
// pending one and not after `from`, the ones the step passed over unheard
// (entries whose texts do not read are not counted).
void UpdateAlarm(PendingAlarm& pending, const std::string& appPath, const DateTime& from,
                 const RegionalSettings& settings, AlarmView& view, int* passedOver = nullptr);

// After a window changed "Alarms.txt", with CHANGEALARM "Yes": the earliest
// saved alarm after `now` when it comes before the pending alarm, which is
// itself a saved one (so the succession comes back to it) or not set at all;
// any one ahead (none set when there is none) when the pending alarm was
// `listed` and its line is gone.
// Empty otherwise. `listed` becomes whether the pending alarm stands in the
// file. Throws as the step does.
std::optional<PendingAlarm> EarlierSavedAlarm(const PendingAlarm& pending, bool& listed, const std::string& appPath,
                                              const DateTime& now, const RegionalSettings& settings);

// The step on the clock's own alarm owner, which writes and shows the alarm it takes.
void UpdateAlarm(AlarmState& state, const std::string& appPath, const DateTime& from,
                 const RegionalSettings& settings, int* passedOver = nullptr);

}  // namespace tolvenmark
