#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QSystemTrayIcon>
#include <QUrl>
#include <QWidget>

#include "clock/alarm_state.h"
#include "clock/clock_commands.h"
#include "clock/due_test.h"
#include "clock/pending_alarm.h"
#include "clock/startup_load.h"
#include "clock/tray_restore.h"

class QAction;
class QDialog;
class QMenu;
class QTimer;

namespace tolvenmark {

class TSkinForm;

// The main clock window: the skinned face, the one-second tick with its due
// test, the alarm switch, the hot-area commands and the tray icon. Every way
// of asking it something (face, tray, notification, channel) comes to its
// ClockCommands.
class TForm1 : public QWidget, public AlarmView, public ClockCommands {
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The start-up after the configuration load and the date-format check,
    // which the program entry has run with config and pending.
    void FormCreate(const StartupConfig& config, const PendingAlarm& pending);

    // Controls, with their form names.
    TSkinForm* SkinForm1 = nullptr;
    QTimer* Timer1 = nullptr;  // tick
    QTimer* Timer2 = nullptr;  // snooze
    QTimer* Timer3 = nullptr;  // launch delay
    QMenu* PopupMenu1 = nullptr;
    QAction* AlarmSet1 = nullptr;
    QAction* AlarmSettings1 = nullptr;
    QAction* RestoreAlarmClock2 = nullptr;
    QAction* Exit1 = nullptr;
    QSystemTrayIcon* TrayIcon = nullptr;

    // Module state that the dialogs share. The pending alarm and the switch
    // belong to alarm; the form names stay as its aliases.
    AlarmState alarm{this};
    PendingAlarm& pendingAlarm = alarm.pending;
    bool& AlarmOnFlag = alarm.on;
    std::string ClockMode;  // "12" or "24"; empty until the first tick
    bool PlayerStarted = false;
    StartupConfig config;   // the in-memory configuration copies
    bool SkinFilesMissing = false;

    // Handlers.
    void Timer1Timer();
    void SkinForm1MouseUpNotify(const std::string& id, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                                int x, int y);
    void AlarmSet1Click();
    void MinToSystemTray();
    void TrayIconNotify(QSystemTrayIcon::ActivationReason reason);
    void RestoreAlarmClock2Click();
    void Exit1Click();
    void AlarmSettings1Click();
    void SetupAlarm();
    void UpdateAlarm();
    // A pending alarm whose second passed unrung (the alarm was off, or the
    // clock not running) is replaced by the next saved alarm still ahead: at
    // start-up, when the alarm is switched on and after "Alarms.txt" changed.
    // soonerSaved: a saved alarm that comes before the pending one is taken too.
    void MovePassedAlarmOn(bool soonerSaved = true);
    // Keeps the snooze's return in the alarm owner; after every launch step.
    void NoteSnooze();
    // "Snoozed until 7:35 AM" while a snooze waits, else empty.
    std::string SnoozeLine() const;
    // The tick slept while nothing was due: the seconds before now count as
    // ticked, so a change is seen as the tick of this second would see it.
    void CoverSecondsBefore(const DateTime& now) { dueTest_.CoverBefore(now); }
    // PlayerStarted, as far as the player still plays.
    bool PlayerRunning() const override;

    // Hooks for the windows and the launch that live elsewhere; each does
    // nothing until set, except SetupAlarm which records the due alarm.
    std::function<void()> SetupAlarmHook;       // the launch set-up
    std::function<void()> SnoozeHook;           // SNOOZE
    std::function<std::string()> SnoozeRefusal;  // why SNOOZE would only show a box, else empty
    std::function<void()> StopHook;             // the alarm switched off: stop what rings
    std::function<bool()> PlayerRunningHook;    // the started player still plays
    std::function<void()> AboutHook;            // ABOUT: the about box, modal
    std::function<void()> ProgramSettingsHook;  // PROG_SETTINGS: the permanent settings dialog
    std::function<void()> AlarmSettingsHook;    // AL_SETTINGS and the tray's alarm settings item
    std::function<void()> TickHook;             // first thing in every tick
    // News through the desktop's notification service; false when it has none.
    std::function<bool(const std::string&)> DesktopNotifyHook;

    // Shows a dialog the hooks made, owned by this window, modally, and frees
    // it after it closes, so opening it again and again does not add up.
    int ShowModalAndFree(QDialog* dialog);

    // Seams of the desktop, replaced by tests.
    std::function<bool()> TrayAvailable;
    std::function<void(const QUrl&)> OpenUrl;
    std::function<void()> EndProgram;

    // What the tick found due while SetupAlarmHook is unset.
    std::vector<PendingAlarm> dueAlarms;
    // The last tray notification text.
    std::string lastNotification;

    // ClockCommands
    std::string Snooze(bool quiet) override;
    void Stop() override;
    std::string SwitchAlarm(bool on) override;
    std::string SetAlarm(const PendingAlarm& alarm) override;
    void Show() override { RestoreAlarmClock2Click(); }
    void Quit() override { EndClock(); }
    const PendingAlarm& Pending() const override { return alarm.pending; }
    bool AlarmOn() const override { return alarm.on; }
    std::optional<DateTime> SnoozedUntil() const override { return alarm.snoozedUntil; }

    // AlarmView
    void SetDisplayText(const std::string& id, const std::string& text) override;
    bool AlarmMenuChecked() const override;
    void SetAlarmMenuCaption(const std::string& caption) override;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ArmTimer1();
    void AlarmOnOffCommand();
    std::string SwitchAlarmTo(bool on, const std::string& offCaption);
    void ShowFailure(const std::string& reason);
    void ReadPendingDateAndTime();
    void ShowAlarmSwitch(bool on, const std::string& offCaption);
    void ChooseSkin();
    void HelpCommand();
    void Notify(const std::string& text);
    void RemoveTrayIcon();
    void EnsureTrayIcon();
    void ShowTrayToolTip(bool on);
    void SwitchedOff();
    void EndClock();
    void ShowConversionErrorOnce(const std::string& text);

    DueTest dueTest_;
    TrayRestore trayRestore_;
    // The alarm texts whose conversion error was shown, so it shows once.
    PendingAlarm badAlarm_;
    bool badAlarmShown_ = false;
    bool ending_ = false;
};

}  // namespace tolvenmark
