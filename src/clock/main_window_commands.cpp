// The hot-area commands, the alarm switch and the tray icon of TForm1.
#include <cerrno>
#include <chrono>
#include <cstdio>

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QPointer>
#include <QEvent>
#include <QMessageBox>
#include <QMenu>
#include <QTimer>
#include <QWindowStateChangeEvent>

#include "clock/bring_back.h"
#include "clock/config.h"
#include "clock/help_file.h"
#include "clock/main_window.h"
#include "platform/clock_icon.h"
#include "platform/prompts.h"
#include "skin/skin_form.h"

namespace tolvenmark {

void TForm1::SkinForm1MouseUpNotify(const std::string& id, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    if (id == "EXIT") {
        Quit();
    } else if (id == "ABOUT") {
        if (AboutHook) AboutHook();
    } else if (id == "HELP") {
        HelpCommand();
    } else if (id == "MINIMIZE") {
        MinToSystemTray();
    } else if (id == "AL_OFFON") {
        AlarmOnOffCommand();
    } else if (id == "AL_SETTINGS") {
        if (AlarmSettingsHook) AlarmSettingsHook();
    } else if (id == "PROG_SETTINGS") {
        if (ProgramSettingsHook) ProgramSettingsHook();
    } else if (id == "SNOOZE") {
        Snooze(false);
    }
}

int TForm1::ShowModalAndFree(QDialog* dialog) {
    // A tick inside the nested loop may end the program; the guard sees the dialog go.
    QPointer<QDialog> guard(dialog);
    const int result = dialog->exec();
    delete guard.data();
    return result;
}

void TForm1::ReadPendingDateAndTime() {
    pendingAlarm.date = ReadConfigKey("ALDATE");
    pendingAlarm.time = ReadConfigKey("ALTIME");
}

void TForm1::ShowAlarmSwitch(bool on, const std::string& offCaption) {
    AlarmSet1->setChecked(on);
    AlarmSet1->setText(QString::fromStdString(on ? AlarmOnCaption(pendingAlarm) : offCaption));
    ShowTrayToolTip(on);
}

void TForm1::SwitchedOff() {
    // Off means quiet: no snooze comes back, the player stops.
    Stop();
}

void TForm1::Stop() {
    if (StopHook) StopHook();
}

std::string TForm1::Snooze(bool quiet) {
    if (quiet && SnoozeRefusal) {
        const std::string reason = SnoozeRefusal();
        if (!reason.empty()) return reason;
        // The boxes a snooze may still show must not hold up the script's reply.
        if (SnoozeHook) QTimer::singleShot(0, this, [this] { if (SnoozeHook) SnoozeHook(); });
        return "";
    }
    if (SnoozeHook) SnoozeHook();
    return "";
}

std::string TForm1::SwitchAlarmTo(bool on, const std::string& offCaption) {
    // Kept first, so a switch made just before a crash or a logout still counts.
    const bool kept = alarm.Switch(on);
    const int error = errno;
    ReadPendingDateAndTime();
    if (on) MovePassedAlarmOn();
    ShowAlarmSwitch(on, offCaption);
    SkinForm1->SetHotAreaState("AL_OFFON", on);
    if (!on) SwitchedOff();
    return kept ? "" : FileWriteError(ConfigPath(), error ? error : EIO);
}

std::string TForm1::SwitchAlarm(bool on) { return SwitchAlarmTo(on, "Alarm &Off"); }

std::string TForm1::SetAlarm(const PendingAlarm& pending) {
    alarm.TakeChecked(pending);
    return SwitchAlarm(true);
}

void TForm1::ShowFailure(const std::string& reason) {
    if (!reason.empty()) AppPrompts().Error(reason);
}

void TForm1::AlarmOnOffCommand() {
    // The skinned window flipped the switch's state when the button went down.
    ShowFailure(SwitchAlarmTo(SkinForm1->GetHotAreaState("AL_OFFON"), "Alarm Off"));
}

void TForm1::AlarmSet1Click() { ShowFailure(SwitchAlarm(!AlarmSet1->isChecked())); }

void TForm1::HelpCommand() {
    const std::string path = HelpFilePath(config.appPath, QCoreApplication::applicationDirPath().toStdString());
    OpenUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void TForm1::EnsureTrayIcon() {
    if (TrayIcon) return;
    // By name, so a tray that draws themed or large icons draws the installed one.
    TrayIcon = new QSystemTrayIcon(QIcon::fromTheme(QStringLiteral("tolvenmark-clock"), windowIcon()), this);
    ShowTrayToolTip(AlarmOnFlag);
    // Tray hosts differ in which clicks they pass on; the menu they all open.
    TrayIcon->setContextMenu(PopupMenu1);
    connect(TrayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { TrayIconNotify(reason); });
}

void TForm1::ShowTrayToolTip(bool on) {
    if (!TrayIcon) return;
    std::string text = std::string(kApplicationTitle) + "\n";
    if (!pendingAlarm.header.empty()) text += pendingAlarm.header + "\n";
    const std::string when = AlarmDateText(pendingAlarm);
    text += std::string(on ? "Alarm On" : "Alarm Off") + (when.empty() ? "" : " (" + when + ")");
    if (const std::string snoozed = SnoozeLine(); !snoozed.empty()) text += "\n" + snoozed;
    const QString tip = QString::fromStdString(text);
    // Each change travels to the tray host; the tick asks every second.
    if (TrayIcon->toolTip() != tip) TrayIcon->setToolTip(tip);
}

void TForm1::MinToSystemTray() {
    if (TrayAvailable()) {
        EnsureTrayIcon();
        TrayIcon->show();
        hide();
    } else {
        // Without a notification area a hidden window could not be got back.
        Minimize(*this);
    }
    ReadPendingDateAndTime();
    AlarmOnFlag = SkinForm1->GetHotAreaState("AL_OFFON");
    ShowAlarmSwitch(AlarmOnFlag, "Alarm Off");
}

void TForm1::TrayIconNotify(QSystemTrayIcon::ActivationReason reason) {
    const TrayClick click = reason == QSystemTrayIcon::Trigger       ? TrayClick::Single
                            : reason == QSystemTrayIcon::DoubleClick ? TrayClick::Double
                                                                     : TrayClick::Other;
    // Only an XEmbed icon has a place of its own on the screen, and only
    // there a double-click follows the single click.
    const bool sendsDoubleClicks = TrayIcon && TrayIcon->geometry().isValid();
    const auto nowMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now().time_since_epoch()).count();
    if (trayRestore_.Restores(click, sendsDoubleClicks, nowMs, QApplication::doubleClickInterval())) {
        RestoreAlarmClock2Click();
    } else if (reason == QSystemTrayIcon::Context && TrayIcon && !TrayIcon->contextMenu()) {
        PopupMenu1->popup(QCursor::pos());
    }
}

void TForm1::RemoveTrayIcon() {
    if (TrayIcon) TrayIcon->hide();
}

void TForm1::RestoreAlarmClock2Click() {
    RemoveTrayIcon();
    BringBack(*this);
}

void TForm1::Exit1Click() { Quit(); }

void TForm1::EndClock() {
    // The end closes the windows, which comes back here.
    if (ending_) return;
    ending_ = true;
    RemoveTrayIcon();
    EndProgram();
    ending_ = false;
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Closed by the window manager (Alt+F4): hidden, the clock would run on
    // with no window and no tray icon, so it ends as EXIT does.
    event->accept();
    EndClock();
}

bool TForm1::PlayerRunning() const { return PlayerRunningHook ? PlayerRunningHook() : PlayerStarted; }

void TForm1::AlarmSettings1Click() {
    if (AlarmSettingsHook) AlarmSettingsHook();
}

void TForm1::Notify(const std::string& text) {
    lastNotification = text;
    const bool scripted = qEnvironmentVariable("TOLVENMARK_PROMPTS") == "stderr";
    if (scripted) std::fprintf(stderr, "Notification: %s\n", text.c_str());
    if (DesktopNotifyHook && DesktopNotifyHook(text)) return;
    if (!TrayAvailable()) {
        if (scripted) return;
        // Without a tray the news must still reach the user, but never by a
        // box that holds up the tick.
        auto* box = new QMessageBox(QMessageBox::Information, QString::fromUtf8(kApplicationTitle),
                                    QString::fromStdString(text), QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setTextFormat(Qt::PlainText);
        box->setWindowIcon(ClockIcon());
        box->setModal(false);
        box->show();
    } else {
        EnsureTrayIcon();
        // The icon carries the message; it stays only while the window is hidden.
        const bool shown = TrayIcon->isVisible();
        TrayIcon->show();
        TrayIcon->showMessage(QString::fromUtf8(kApplicationTitle), QString::fromStdString(text));
        if (!shown && isVisible()) QTimer::singleShot(10000, this, [this] { if (isVisible()) RemoveTrayIcon(); });
    }
}

void TForm1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    // The window manager minimised the window: to the tray, as MINIMIZE does.
    if (isMinimized() && TrayAvailable())
        QTimer::singleShot(0, this, [this] {
            if (isMinimized()) {
                setWindowState(windowState() & ~Qt::WindowMinimized);
                MinToSystemTray();
            }
        });
}

}  // namespace tolvenmark
