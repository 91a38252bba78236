#include "setup/alarm_settings.h"

#include <QCheckBox>
#include <QLineEdit>

#include "bin/saved_alarms_changed.h"
#include "platform/clock.h"
#include "platform/prompts.h"
#include "platform/regional_settings.h"
#include "platform/saved_text.h"
#include "setup/bin_additions.h"
#include "setup/handover_rule.h"
#include "setup/media_types.h"

namespace tolvenmark {

void TForm2::Button7Click() {
    if (!hooks_.openStorageBin) return;
    // Only what is copied during this opening is taken: an entry copied on an
    // earlier one would undo what the user changed since.
    AppHandovers().copiedFile = {};
    AppHandovers().copiedAlarm = {};
    hooks_.openStorageBin();
    FollowPendingAlarm();  // before a copied entry, which the user chose
    // Copies, not references: ticking a box below can open message boxes.
    const FileHandover file = AppHandovers().copiedFile;
    const AlarmHandover alarm = AppHandovers().copiedAlarm;

    if (!file.target.empty()) {
        const TargetMediaType choice = MediaTypeForTarget(file.target, file.defaultPlayer);
        SelectMediaType(choice.mediaType);
        if (choice.runsMediaRule)
            ApplyMediaTypeRule();
        else
            mediaType_ = choice.mediaType;
        ShowSavedText(*Edit1, file.target);
    }

    // The copied entry's player, when it names one; else the user's stays.
    const int player = PlayerIndex(file.defaultPlayer);
    if (player >= 0) {
        PlayerBoxes()[static_cast<std::size_t>(player)]->setChecked(true);
        player_ = file.defaultPlayer;
    }

    if (!alarm.header.empty()) ShowSavedText(*Edit3, alarm.header);
    if (!alarm.date.empty()) ShowSavedText(*Edit2, alarm.date);
    if (!alarm.time.empty()) SetPickerTime(alarm.time);
}

void TForm2::Button8Click() {
    AddSettingsToBin(host_.AppPath(), FileSettingFor(SelectedMediaType(), StartString(), player_), AppPrompts());
}

void TForm2::Button11Click() {
    const SavedAlarm alarm{SavedText(*Edit3), SavedText(*Edit2), PickerTime()};
    AddAlarmToBin(host_.AppPath(), alarm, alarmTable_, AppRegionalSettings(), AppClock().Now().year, AppPrompts());
    SavedAlarmsChanged();
    FollowPendingAlarm();
}

void TForm2::SortAlarms(int last) {
    if (last < 0) return;
    SortAlarmsToFile(host_.AppPath(), alarmTable_, static_cast<std::size_t>(last), AppRegionalSettings(),
                     AppClock().Now().year);
    SavedAlarmsChanged();
    FollowPendingAlarm();
}

}  // namespace tolvenmark
