#pragma once

#include <functional>
#include <string>

#include "bin/handover.h"

namespace tolvenmark {

class TForm2;

// What the alarm settings dialog reads from and changes on the main window.
class AlarmSettingsHost {
public:
    virtual ~AlarmSettingsHost() = default;
    virtual std::string ClockMode() const = 0;  // "12" or "24"
    virtual std::string AppPath() const = 0;    // the in-memory APPPATH: the storage bin's folder
    // The pending alarm's date and time (in-memory ALDATE and ALTIME).
    virtual std::string PendingDate() const = 0;
    virtual std::string PendingTime() const = 0;
    // Makes the dialog's alarm the pending one: ALHEADER, ALDATE and ALTIME in
    // one replacement of the file, and the main window shows it (even when the
    // write failed, so the clock rings what the user sees). The reason when
    // the file could not be written, else empty.
    virtual std::string TakePendingAlarm(const std::string& header, const std::string& date,
                                         const std::string& time) = 0;
    // The main window shows the pending alarm again (Cancel).
    virtual void ShowPendingAlarm() = 0;
};

// The dialogs the alarm settings dialog opens that live elsewhere; an empty
// hook makes its button do nothing.
struct AlarmSettingsHooks {
    // The storage bin dialog, modal; a copied entry lands in AppHandovers().
    std::function<void()> openStorageBin;
    // The calendar, modal; CalendarCaller is 1, the date goes to CalendarResult slot 1.
    std::function<void()> openCalendar;
    // The schedule dialog, modal, with its input header, date and time.
    std::function<void(const AlarmHandover& input)> openSchedule;
    // The internet connection dialog, shown without waiting.
    std::function<void()> showInternetSetup;
    // "&Test Alarm".
    std::function<void(TForm2& form)> testAlarm;
    // The media programs dialog; left empty, a TForm6 on the real drives is shown.
    std::function<void()> openMediaPrograms;
};

}  // namespace tolvenmark
