#include "app/permanent_windows.h"

#include "clock/config.h"
#include "clock/main_window.h"
#include "skin/about_box.h"
#include "skin/program_settings.h"

namespace tolvenmark {

void CreatePermanentWindows(TForm1& form, PermanentWindows& windows) {
    ProgramSettingsLinks links;
    links.alarmOnFlag = [&form] { return form.AlarmOnFlag; };
    links.setAlarmOnFlag = [&form](bool on) { form.AlarmOnFlag = on; };
    links.readConfigKey = ReadConfigKey;
    links.writeConfigKey = WriteConfigKey;
    windows.form4 = new TForm4(*form.SkinForm1, links, &form);

    TForm4* form4 = windows.form4;
    form.ProgramSettingsHook = [form4] {
        form4->show();
        form4->raise();
        form4->activateWindow();
    };
    form.AboutHook = [&form] { form.ShowModalAndFree(new TForm5(&form)); };
}

}  // namespace tolvenmark
