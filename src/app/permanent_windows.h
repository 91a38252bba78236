#pragma once

#include <memory>

#include "platform/config_keys.h"

namespace tolvenmark {

class AlarmLaunch;
class Launcher;
class LaunchHost;
class AlarmSettingsHost;
class BusLinks;
class TForm1;
class TForm4;
class TForm8;
class WakeKeeper;

// The windows that live from the start to the end beside the main window,
// the launch that rings its alarms, and the main window's hooks into them and
// into the dialogs it opens.
struct PermanentWindows {
    PermanentWindows();
    ~PermanentWindows();

    TForm4* form4 = nullptr;  // program settings, owned by the main window
    std::unique_ptr<TForm8> form8;  // internet connection
    std::unique_ptr<Launcher> launcher;
    std::unique_ptr<LaunchHost> launchHost;
    std::unique_ptr<AlarmLaunch> launch;
    std::unique_ptr<AlarmSettingsHost> alarmSettingsHost;
    ConfigKeys alarmSettingsKeys;  // outlives every alarm settings dialog
    WakeKeeper* wake = nullptr;  // owned by the main window
    // The session and system buses, connected off the user-interface thread
    // and handed to the notifications, the wake keeper and the dial-up service.
    std::unique_ptr<BusLinks> buses;
};

void CreatePermanentWindows(TForm1& form, PermanentWindows& windows);

}  // namespace tolvenmark
