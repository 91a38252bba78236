#pragma once

#include <array>
#include <string>

namespace tolvenmark {

// Values the storage bin, edit alarm and calendar dialogs hand to their
// callers. They outlive every dialog; the alarm settings clear the copied
// entries before each opening of the storage bin.
struct FileHandover {
    std::string target;
    std::string defaultPlayer;  // a player code, "MESSAGE" or "NETMESS"
};

struct AlarmHandover {
    std::string header;
    std::string date;
    std::string time;
};

struct Handovers {
    FileHandover copiedFile;    // "Copy &Entry to Alarm Settings", file settings
    AlarmHandover copiedAlarm;  // "Copy &Entry to Alarm Settings", saved alarms
    AlarmHandover editedAlarm;  // the row the edit alarm dialog works on

    // 1 alarm settings, 2 edit alarm, 3 schedule, 4 and 5 delete range.
    int calendarCaller = 0;
    std::string calendarOpening;  // the date in the field the calendar opens from
    std::array<std::string, 6> calendarResult;  // slot 0 unused
};

Handovers& AppHandovers();

}  // namespace tolvenmark
