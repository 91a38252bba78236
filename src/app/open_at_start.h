#pragma once

#include <string>

namespace tolvenmark {

class TForm1;

// For the pictures in docs/screenshots: once the clock shows, opens one
// window by name, as a user would reach it (TOLVENMARK_OPEN_AT_START):
// alarm-settings, storage-bin, schedule, calendar (each from the alarm
// settings), program-settings, internet, about, tray-menu. False for an
// unknown name.
bool OpenAtStart(TForm1& form, const std::string& name);

}  // namespace tolvenmark
