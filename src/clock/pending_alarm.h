#pragma once

#include <string>

namespace tolvenmark {

// The alarm the clock waits for, mirrored in ALHEADER, ALDATE and ALTIME.
struct PendingAlarm {
    std::string header;
    std::string date;  // short date format
    std::string time;  // with seconds

    bool operator==(const PendingAlarm&) const = default;
};

// What the succession changes on the main window; the window plugs itself in.
class AlarmView {
public:
    virtual ~AlarmView() = default;
    // A display item of the skin, by ID ("AL_HEADER", "AL_DATE").
    virtual void SetDisplayText(const std::string& id, const std::string& text) = 0;
    // The tray menu's alarm switch (AlarmSet1).
    virtual bool AlarmMenuChecked() const = 0;
    virtual void SetAlarmMenuCaption(const std::string& caption) = 0;
};

// ALDATE + " at " + ALTIME, as AL_DATE and the menu show it; empty while no
// alarm was ever set.
inline std::string AlarmDateText(const PendingAlarm& alarm) {
    if (alarm.date.empty() && alarm.time.empty()) return "";
    return alarm.date + " at " + alarm.time;
}

}  // namespace tolvenmark
