#include "app/permanent_windows.h"

#include <cerrno>
#include <exception>
#include <memory>
#include <optional>

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include "app/bus_links.h"
#include "bin/calendar_form.h"
#include "bin/schedule_form.h"
#include "bin/storage_bin_form.h"
#include "clock/alarm_launch.h"
#include "clock/config.h"
#include "clock/desktop_notice.h"
#include "clock/launch_timer_qt.h"
#include "clock/main_window.h"
#include "clock/tick_plan.h"
#include "clock/ringing_notice.h"
#include "clock/tick_texts.h"
#include "clock/wake_keeper.h"
#include "platform/clock.h"
#include "platform/launcher.h"
#include "platform/regional_settings.h"
#include "platform/prompts.h"
#include "setup/alarm_settings.h"
#include "setup/alarm_settings_host.h"
#include "setup/alarm_test.h"
#include "setup/internet_setup.h"
#include "setup/media_memory.h"
#include "setup/ras_late_backend.h"
#include "setup/ras_nm_backend.h"
#include "skin/about_box.h"
#include "skin/program_settings.h"

namespace tolvenmark {

namespace {

ConfigKeys AppConfigKeys() { return {ReadConfigKey, WriteConfigKey}; }

class MainWindowLaunchHost final : public LaunchHost {
public:
    MainWindowLaunchHost(TForm1& form, TForm8& form8) : form_(form), form8_(form8), timer2_(*form.Timer2), timer3_(*form.Timer3) {}

    LaunchTimer& Timer2() override { return timer2_; }
    LaunchTimer& Timer3() override { return timer3_; }
    InternetSetupActions& InternetSetup() override { return form8_; }
    void Beep() override { QApplication::beep(); }
    void BringToFront() override {
        // A clock in the tray stays there; the box itself was the alarm.
        if (!form_.isVisible()) return;
        form_.raise();
        form_.activateWindow();
    }
    void UpdateAlarm() override { form_.UpdateAlarm(); }
    void Ringing(bool on) override {
        if (!on) return notice.Withdraw();
        const std::string& header = ringingAlarm.header;
        notice.Show(kApplicationTitle, (header.empty() ? "" : header + "\n") + AlarmDateText(ringingAlarm));
    }

    PendingAlarm ringingAlarm;  // what the last due set-up launches; a snooze brings it back
    RingingNotice notice;

private:
    TForm1& form_;
    TForm8& form8_;
    QtLaunchTimer timer2_;
    QtLaunchTimer timer3_;
};

class MainWindowAlarmSettingsHost final : public AlarmSettingsHost {
public:
    explicit MainWindowAlarmSettingsHost(TForm1& form) : form_(form) {}

    std::string ClockMode() const override { return form_.ClockMode; }
    std::string AppPath() const override { return form_.config.appPath; }
    std::string PendingDate() const override { return form_.pendingAlarm.date; }
    std::string PendingTime() const override { return form_.pendingAlarm.time; }
    std::string TakePendingAlarm(const std::string& header, const std::string& date,
                                 const std::string& time) override {
        if (form_.alarm.Take({header, date, time})) return "";
        return FileWriteError(ConfigPath(), errno ? errno : EIO);
    }
    void ShowPendingAlarm() override { form_.alarm.Show(); }

private:
    TForm1& form_;
};

void WireProgramSettings(TForm1& form, PermanentWindows& windows) {
    ProgramSettingsLinks links;
    links.alarmOnFlag = [&form] { return form.AlarmOnFlag; };
    links.setAlarmOnFlag = [&form](bool on) { form.AlarmOnFlag = on; };
    links.readConfigKey = ReadConfigKey;
    links.writeConfigKey = WriteConfigKey;
    links.wakeUnavailable = [wake = windows.wake] { return wake->Unavailable(); };
    windows.form4 = new TForm4(*form.SkinForm1, links, &form, true);

    TForm4* form4 = windows.form4;
    form.ProgramSettingsHook = [form4] {
        form4->show();
        form4->raise();
        form4->activateWindow();
    };
    form.AboutHook = [&form] { form.ShowModalAndFree(new TForm5(&form)); };
}

void WireLaunch(TForm1& form, PermanentWindows& windows) {
    auto dialUp = std::make_unique<LateRasBackend>();
    LateRasBackend* lateDialUp = dialUp.get();
    windows.form8 = std::make_unique<TForm8>(std::move(dialUp), AppConfigKeys(), AppPrompts(), nullptr, true);
    windows.launcher = std::make_unique<Launcher>();
    windows.launcher->outputLog = PlayerLogPath();
    auto host = std::make_unique<MainWindowLaunchHost>(form, *windows.form8);
    MainWindowLaunchHost* launchHost = host.get();
    windows.launchHost = std::move(host);
    windows.launch = std::make_unique<AlarmLaunch>(*windows.launchHost, *windows.launcher, AppPrompts(),
                                                   SystemLookups(AppConfigKeys()));

    AlarmLaunch* launch = windows.launch.get();
    Launcher* launcher = windows.launcher.get();
    // The window's PlayerStarted mirrors the launch's after every step.
    auto step = [&form, launch](void (AlarmLaunch::*action)()) {
        return [&form, launch, action] {
            (launch->*action)();
            form.PlayerStarted = launch->PlayerStarted();
            form.NoteSnooze();
        };
    };
    QObject::connect(form.Timer3, &QTimer::timeout, &form, step(&AlarmLaunch::Timer3Timer));
    QObject::connect(form.Timer2, &QTimer::timeout, &form, step(&AlarmLaunch::Timer2Timer));
    form.SetupAlarmHook = [&form, launchHost, setup = step(&AlarmLaunch::SetupAlarm)] {
        launchHost->ringingAlarm = form.pendingAlarm;
        setup();
    };
    form.SnoozeHook = step(&AlarmLaunch::Snooze);
    form.SnoozeRefusal = [launch] { return launch->SnoozeRefusal(); };
    form.StopHook = step(&AlarmLaunch::Stop);
    form.PlayerRunningHook = [launch] { return launch->AnyPlayerRunning(); };
    // Ends are reaped as they happen; a stop's SIGKILL comes from the same fd.
    auto* ends = new QSocketNotifier(launcher->NotifyFd(), QSocketNotifier::Read, &form);
    QObject::connect(ends, &QSocketNotifier::activated, &form, [launcher] { launcher->ServeEnds(); });
    launcher->OnEnded = [&form, check = step(&AlarmLaunch::CheckPlayer)] { QTimer::singleShot(0, &form, check); };
    // Each second the launches are followed into what they started since.
    form.TickHook = [&form, launcher, launch] {
        launcher->Service();
        form.PlayerStarted = launch->PlayerRunning();
    };
    // Not inside the bus's delivery: the snooze may show a box.
    launchHost->notice.OnSnooze = [&form] { QTimer::singleShot(0, &form, [&form] { form.Snooze(false); }); };
    launchHost->notice.OnStop = [&form] { QTimer::singleShot(0, &form, [&form] { form.Stop(); }); };
    auto* missed = new DesktopNotice(&form);
    form.DesktopNotifyHook = [missed](const std::string& text) { return missed->Show(kApplicationTitle, text); };
    windows.buses = std::make_unique<BusLinks>();
    windows.buses->onSession = [launchHost, missed](QDBusConnection bus) {
        launchHost->notice.Attach(bus);
        missed->Attach(bus);
    };
    windows.buses->onSystem = [&form, wake = windows.wake, lateDialUp](QDBusConnection bus) {
        const auto attach = [wake, lateDialUp, bus] {
            wake->AttachBus(bus);
            lateDialUp->Attach(MakeNetworkManagerBackend(bus));
        };
        // Right after a tick: the dial-up model's set-up waits on the bus. A
        // hidden clock may not tick for hours, and the wake keeper cannot wait.
        if (form.isVisible())
            QObject::connect(form.Timer1, &QTimer::timeout, &form, attach, Qt::SingleShotConnection);
        else
            QTimer::singleShot(0, &form, attach);
    };
    windows.buses->Start();

    // The connection watch runs in an internet alarm's dial window, so the
    // launch knows whether it must dial; the tick looks each time it runs.
    TForm8* form8 = windows.form8.get();
    struct DialWindow {
        DueTest instants;
        std::optional<Instant> at;
        DateTime from, to;  // local times of the window, kept while the alarm is the same
    };
    form8->WatchWanted = [&form, window = std::make_shared<DialWindow>()] {
        const PendingAlarm& alarm = form.pendingAlarm;
        if (!form.AlarmOnFlag || alarm.date.empty() || alarm.time.empty()) return false;
        try {
            const DateTime now = AppClock().Now();
            const Instant at = window->instants.AlarmInstant(now, alarm, AppRegionalSettings());
            if (window->at != at) {
                const LocalZone zone = LocalZone::System();
                window->at = at;
                window->from = zone.toLocal(at - kDialWindowSeconds);
                window->to = zone.toLocal(at);
            }
            DateTime second = now;
            second.millisecond = 0;
            return window->from <= second && second <= window->to && ReadConfigKey("MTYPE") == kRadioType;
        } catch (const std::exception&) {
            return false;
        }
    };
    QObject::connect(form.Timer1, &QTimer::timeout, form8, [form8] { form8->UpdateWatch(); });
}

void WireAlarmSettings(TForm1& form, PermanentWindows& windows) {
    windows.alarmSettingsHost = std::make_unique<MainWindowAlarmSettingsHost>(form);
    AlarmSettingsHost* host = windows.alarmSettingsHost.get();
    TForm8* form8 = windows.form8.get();
    windows.alarmSettingsKeys = AppConfigKeys();
    ConfigKeys* config = &windows.alarmSettingsKeys;
    Launcher* launcher = windows.launcher.get();

    form.AlarmSettingsHook = [&form, host, form8, config, launcher] {
        // Opened before the first tick (at start), the dialog still needs the
        // clock mode and the alarm-time format the tick would have set.
        if (form.ClockMode.empty()) form.ClockMode = AdoptAlarmTimeShape(AppRegionalSettings());
        AlarmSettingsHooks hooks;
        const std::string appPath = form.config.appPath;
        // Owned by the window that opens them: the alarm settings dialog.
        auto opener = [&form]() -> QWidget* {
            QWidget* modal = QApplication::activeModalWidget();
            return modal ? modal : &form;
        };
        hooks.openStorageBin = [opener, appPath] {
            TForm7 dialog(opener(), appPath, AppConfigKeys());
            dialog.exec();
        };
        hooks.openCalendar = [opener] {
            TForm3 dialog(opener());
            dialog.exec();
        };
        hooks.openSchedule = [opener, appPath](const AlarmHandover& input) {
            TForm10 dialog(opener(), appPath, AppConfigKeys(), input.header, input.date, input.time);
            dialog.exec();
        };
        hooks.showInternetSetup = [form8] { form8->ShowSetup(); };
        hooks.testAlarm = AlarmTest::Hook({SystemLookups(*config), *form8, *launcher});
        form.ShowModalAndFree(new TForm2(*host, *config, hooks, AppMediaMemory(), &form));
    };
}

void WireWake(TForm1& form, PermanentWindows& windows) {
    windows.wake = new WakeKeeper(form, WakeHelperProgram());
    // After each tick, so what the tick changed is seen at once.
    QObject::connect(form.Timer1, &QTimer::timeout, windows.wake, [wake = windows.wake] { wake->Sync(); });
}

}  // namespace

PermanentWindows::PermanentWindows() = default;
PermanentWindows::~PermanentWindows() = default;

void CreatePermanentWindows(TForm1& form, PermanentWindows& windows) {
    WireWake(form, windows);
    WireProgramSettings(form, windows);
    WireLaunch(form, windows);
    WireAlarmSettings(form, windows);
}

}  // namespace tolvenmark
