#include "clock/alarm_state.h"

#include <cerrno>

#include "clock/config.h"
#include "platform/conversion_error.h"

namespace tolvenmark {

std::string AlarmOnCaption(const PendingAlarm& alarm) {
    const std::string when = AlarmDateText(alarm);
    return when.empty() ? "Alarm &On" : "Alarm &On (" + when + ")";
}

namespace {

bool WriteAlarmKeys(const PendingAlarm& alarm) {
    return WriteConfigKeys({{"ALDATE", alarm.date}, {"ALTIME", alarm.time}, {"ALHEADER", alarm.header}});
}

}  // namespace

bool AlarmState::Take(const PendingAlarm& alarm, bool fromList) {
    pending = alarm;
    listed = fromList;
    const bool written = WriteAlarmKeys(alarm);
    const int error = errno;
    Show();
    errno = error;
    return written;
}

void AlarmState::TakeChecked(const PendingAlarm& alarm) {
    if (!WriteAlarmKeys(alarm)) throw OperationError(FileWriteError(ConfigPath(), errno ? errno : EIO));
    pending = alarm;
    listed = false;
    Show();
}

bool AlarmState::Switch(bool switchOn) {
    on = switchOn;
    return WriteConfigKeys({{"ALSET", switchOn ? "TRUE" : "FALSE"}});
}

void AlarmState::Show() const {
    if (!view_) return;
    view_->SetDisplayText("AL_HEADER", pending.header);
    view_->SetDisplayText("AL_DATE", AlarmDateText(pending));
    if (view_->AlarmMenuChecked()) view_->SetAlarmMenuCaption(AlarmOnCaption(pending));
}

}  // namespace tolvenmark
