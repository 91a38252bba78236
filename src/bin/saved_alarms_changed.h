#pragma once

#include <functional>

namespace tolvenmark {

// The windows call this after they changed "Alarms.txt" (or set an alarm
// that passed), so that a pending alarm whose second passed moves on to the
// next saved alarm still ahead instead of waiting for the next start, and a
// saved alarm that comes before the pending one is taken first.
void SavedAlarmsChanged();

// Who moves it on (the main window, while it lives); empty: nobody.
void SetSavedAlarmsChangedHandler(std::function<void()> handler);

}  // namespace tolvenmark
