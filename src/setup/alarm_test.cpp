#include "setup/alarm_test.h"

#include <memory>
#include <vector>

#include <QApplication>
#include <QTimer>

#include "platform/prompts.h"
#include "setup/alarm_settings.h"

namespace tolvenmark {

AlarmTest::AlarmTest(TForm2& form, AlarmTestLinks links)
    : QObject(form.parentWidget()),  // not the dialog's: a pending test outlives it
      Timer1(new QTimer(this)),
      form_(&form),
      owner_(form.parentWidget()),
      links_(std::move(links)) {
    // A coarse timer may fire early; the test comes a full second after the press.
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &AlarmTest::Timer1Timer);
    connect(&form, &QDialog::finished, this, &AlarmTest::Remember);
    connect(&form, &QObject::destroyed, this, &AlarmTest::FormGone);
}

std::function<void(TForm2&)> AlarmTest::Hook(AlarmTestLinks links) {
    auto tests = std::make_shared<std::vector<QPointer<AlarmTest>>>();
    return [links = std::move(links), tests](TForm2& form) {
        std::erase_if(*tests, [](const QPointer<AlarmTest>& t) { return t.isNull(); });
        for (const QPointer<AlarmTest>& t : *tests)
            if (t->form_ == &form && !t->formGone_) return t->Button4Click();
        tests->push_back(new AlarmTest(form, links));
        tests->back()->Button4Click();
    };
}

bool AlarmTest::Connected() const { return links_.internet.ConnectState() == kConnectedState; }

bool AlarmTest::Pending() const { return Timer1->isActive(); }

TForm2* AlarmTest::Form() const {
    // While the dialog is being destroyed it is no longer a TForm2, and its
    // controls may be gone already.
    return formGone_ ? nullptr : qobject_cast<TForm2*>(form_.data());
}

AlarmTestInput AlarmTest::Input() const {
    const TForm2* form = Form();
    if (!form) return remembered_;
    return {form->SelectedMediaType(), form->TickedPlayer(), form->StartString()};
}

void AlarmTest::Remember() { remembered_ = Input(); }

void AlarmTest::Button4Click() {
    settings_.iConnect = links_.lookups.config.read("ICONNECT");
    settings_.wait = links_.lookups.config.read("WAIT");
    remembered_ = Input();
    const LaunchDelay delay = PlanLaunchDelay(TestSettings(remembered_, settings_.iConnect, settings_.wait), Connected());
    if (delay.dialFirst) {
        links_.internet.ShowSetup();
        links_.internet.TestConnection();
    }
    // As a window timer: a new interval starts the count again, the same one does not.
    if (delay.intervalMs != Timer1->interval()) Timer1->setInterval(delay.intervalMs);
    if (!Timer1->isActive()) Timer1->start();
}

void AlarmTest::Timer1Timer() { TestAlarm(); }

void AlarmTest::TestAlarm() {
    running_ = true;
    const AlarmTestInput input = Input();
    const LaunchSettings s = TestSettings(input, settings_.iConnect, settings_.wait);
    const TestAction action = PlanAlarmTest(s, Connected(), links_.lookups);
    Prompts& prompts = AppPrompts();
    // The timer is off before any box opens, so the test never repeats while one is shown.
    Timer1->stop();
    switch (action.outcome) {
    case TestOutcome::NoConnection:
        prompts.Warning(kNoConnectionWarning);
        break;
    case TestOutcome::TextBox:
        if (links_.beep)
            links_.beep();
        else
            QApplication::beep();
        prompts.PlainBox(input.startString);
        BringToFront();
        break;
    case TestOutcome::NetworkMessage:
        if (links_.launcher.RunCommandLine(input.startString))
            prompts.Information("Network message sent.");
        else
            prompts.Warning(kAlarmNotStarted);
        break;
    case TestOutcome::StartPlayer:
        links_.internet.HideSetup();
        // No handle is kept and a failed start is not reported.
        links_.launcher.Start(action.player.program, action.argument, action.player.options);
        break;
    case TestOutcome::NoPlayer:
        links_.internet.HideSetup();
        prompts.Warning(kTestNoPlayer);
        break;
    }
    running_ = false;
    FreeWhenDone();
}

void AlarmTest::BringToFront() {
    if (links_.bringToFront) return links_.bringToFront();
    // A clock hidden in the tray stays there.
    TForm2* form = Form();
    QWidget* target = form && form->isVisible() ? form : owner_.data();
    if (!target || !target->window()->isVisible()) return;
    target->window()->raise();
    target->window()->activateWindow();
}

void AlarmTest::FormGone() {
    formGone_ = true;
    FreeWhenDone();
}

void AlarmTest::FreeWhenDone() {
    if (formGone_ && !running_ && !Pending()) deleteLater();
}

}  // namespace tolvenmark
