#pragma once

#include <functional>

namespace tolvenmark {

// The windows call this after they changed "Alarms.txt", so that a pending
// alarm whose second passed while the alarm was off moves on to the next
// saved alarm still ahead instead of waiting for the next start.
void SavedAlarmsChanged();

// Who moves it on (the main window, while it lives); empty: nobody.
void SetSavedAlarmsChangedHandler(std::function<void()> handler);

}  // namespace tolvenmark
