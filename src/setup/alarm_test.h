#pragma once

#include <functional>

#include <QObject>
#include <QPointer>

#include "platform/launcher.h"
#include "setup/alarm_test_plan.h"
#include "setup/internet_setup_actions.h"

class QTimer;

namespace tolvenmark {

class TForm2;

// What the test needs of the rest of the program.
struct AlarmTestLinks {
    AlarmTestLinks(LaunchLookups lookups, InternetSetupActions& internet, Launcher& launcher)
        : lookups(std::move(lookups)), internet(internet), launcher(launcher) {}

    LaunchLookups lookups;           // section "ALARM" and the machine's programs
    InternetSetupActions& internet;  // the internet connection dialog
    Launcher& launcher;              // the program's launcher, which reaps the player
    std::function<void()> beep;          // empty: the desktop beep
    std::function<void()> bringToFront;  // empty: the dialog, or its owner when it is closed
};

// "&Test Alarm" of one alarm settings dialog with its one-shot Timer1. The
// test outlives a dialog closed while it is pending: it keeps the values the
// dialog had when it closed, so the dialog can be freed at once, and frees
// itself once the dialog is gone and no test is pending.
class AlarmTest final : public QObject {
public:
    AlarmTest(TForm2& form, AlarmTestLinks links);

    // The hook TForm2 calls for "&Test Alarm": one test per dialog.
    static std::function<void(TForm2&)> Hook(AlarmTestLinks links);

    void Button4Click();  // arms Timer1
    void Timer1Timer();
    void TestAlarm();  // runs the test once

    bool Pending() const;
    QTimer* Timer1;

private:
    TForm2* Form() const;
    AlarmTestInput Input() const;
    void Remember();
    void FormGone();
    void FreeWhenDone();
    bool Connected() const;
    void BringToFront();

    QPointer<QObject> form_;  // the dialog, read only through Form()
    QPointer<QWidget> owner_;
    AlarmTestLinks links_;
    // The in-memory ICONNECT and WAIT of the press.
    LaunchSettings settings_;
    AlarmTestInput remembered_;
    bool running_ = false;
    bool formGone_ = false;
};

}  // namespace tolvenmark
