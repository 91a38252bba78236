#include "app/open_at_start.h"

#include <QApplication>
#include <QMenu>
#include <QTimer>

#include "clock/main_window.h"
#include "setup/alarm_settings.h"

namespace tolvenmark {

namespace {

constexpr int kSettleMs = 500;

// Presses a button of the alarm settings once they are open and waiting.
void InAlarmSettings(TForm1& form, void (TForm2::*button)()) {
    QTimer::singleShot(kSettleMs, &form, [button] {
        if (auto* form2 = qobject_cast<TForm2*>(QApplication::activeModalWidget())) (form2->*button)();
    });
    form.AlarmSettings1Click();
}

}  // namespace

bool OpenAtStart(TForm1& form, const std::string& name) {
    void (TForm2::*button)() = nullptr;
    if (name == "storage-bin") button = &TForm2::Button7Click;
    else if (name == "schedule") button = &TForm2::Button10Click;
    else if (name == "calendar") button = &TForm2::Button6Click;
    else if (name == "internet") button = &TForm2::Button9Click;
    else if (name != "alarm-settings" && name != "program-settings" && name != "about" && name != "tray-menu")
        return false;

    QTimer::singleShot(kSettleMs, &form, [&form, name, button] {
        if (button) InAlarmSettings(form, button);
        else if (name == "alarm-settings") form.AlarmSettings1Click();
        else if (name == "program-settings" && form.ProgramSettingsHook) form.ProgramSettingsHook();
        else if (name == "about" && form.AboutHook) form.AboutHook();
        else if (name == "tray-menu") form.PopupMenu1->popup(form.geometry().topLeft() + QPoint(24, 24));
    });
    return true;
}

}  // namespace tolvenmark
