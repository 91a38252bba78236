#pragma once

#include <array>
#include <string>

#include <QDialog>

#include "bin/bin_files.h"
#include "bin/time_picker.h"
#include "setup/alarm_settings_host.h"
#include "platform/config_keys.h"
#include "setup/media_memory.h"
#include "setup/open_file_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
namespace tolvenmark {

// "Alarm Settings": what the pending alarm plays or shows, with which player,
// when, and the snooze and succession switches. The opening steps run in the
// constructor.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    TForm2(AlarmSettingsHost& host, ConfigKeys& config, AlarmSettingsHooks hooks = {},
           MediaMemory& memory = AppMediaMemory(), QWidget* parent = nullptr);

    // Player boxes in the order WMP, WINAMP, REALONE, QUICKTIME, CUSTOM.
    void PlayerBoxClick(int player, bool ticked);
    void ComboBox1Change();
    void Button3Click();   // Browse
    void CheckBox4Click();  // snooze
    void Button6Click();   // ":::"
    void Button1Click();   // OK
    void Button2Click();   // Cancel
    void Button7Click();   // open storage bin
    void Button5Click();   // media programs
    void Button9Click();   // internet connection
    void Button10Click();  // schedule
    void Button4Click();   // test alarm
    void Button8Click();   // add settings to storage bin
    void Button11Click();  // add alarm to bin
    // Sorts rows 0 to last of the saved alarm table and rewrites "Alarms.txt".
    void SortAlarms(int last);

    // What the dialog holds now, as a test or a save would take it.
    std::string SelectedMediaType() const;  // "" when none is selected
    std::string TickedPlayer() const;       // "" when no box is ticked
    std::string StartString() const;
    std::string PickerTime() const;  // in the long time format
    const std::string& Player() const { return player_; }  // the in-memory PLAYER

    QCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox5, *CheckBox6;
    QComboBox* ComboBox1;
    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* Button3;
    QCheckBox* CheckBox4;
    QLabel* Label2;
    QSpinBox* SpinEdit1;
    QLineEdit* Edit3;
    QLineEdit* Edit2;
    QPushButton* Button6;
    QLabel* Label4;
    TimeField* DateTimePicker1;
    QCheckBox *CheckBox7, *CheckBox8;
    QPushButton *Button10, *Button11, *Button8, *Button7, *Button5, *Button9, *Button4, *Button1, *Button2;
    OpenFileDialog OpenDialog1;

private:
    void BuildControls();
    void FormCreate();
    void ApplyMediaTypeRule();
    void SelectMediaType(const std::string& mediaType);
    void SetPickerTime(const std::string& storedTime);
    // The pending alarm's header, date and time into their fields.
    void ShowPendingFields();
    // After a window this dialog opened: fields the user left as they were
    // follow a pending alarm that window moved on, or OK would set it back.
    void FollowPendingAlarm();
    std::array<QCheckBox*, 5> PlayerBoxes() const { return {CheckBox1, CheckBox2, CheckBox3, CheckBox5, CheckBox6}; }

    AlarmSettingsHost& host_;
    ConfigKeys& config_;
    AlarmSettingsHooks hooks_;
    MediaMemory& memory_;
    // The in-memory PLAYER and MTYPE.
    std::string player_, mediaType_;
    SavedAlarmList alarmTable_;  // the saved alarm table "A&dd Alarm to Bin" reads into
    // The keys ALHEADER, ALDATE and ALTIME, and the fields, as ShowPendingFields left them.
    std::array<std::string, 3> shownKeys_, shownFields_;
};

}  // namespace tolvenmark
