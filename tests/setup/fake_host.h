#pragma once

#include <string>
#include <vector>

#include "setup/alarm_settings_host.h"

namespace tolvenmark::testing {

// The main window as the dialog sees it; records what the dialog does to it.
class FakeHost final : public AlarmSettingsHost {
public:
    std::string ClockMode() const override { return clockMode; }
    std::string AppPath() const override { return appPath; }
    std::string PendingDate() const override { return pendingDate; }
    std::string PendingTime() const override { return pendingTime; }
    void SetPendingAlarm(const std::string& header, const std::string& date, const std::string& time) override {
        calls.push_back("pending " + header + " | " + date + " | " + time);
    }
    void SetDisplayText(const std::string& id, const std::string& text) override {
        calls.push_back(id + " " + text);
    }
    bool AlarmMenuChecked() const override { return menuChecked; }
    void SetAlarmMenuCaption(const std::string& caption) override { calls.push_back("menu " + caption); }

    std::string clockMode = "24";
    std::string appPath;
    std::string pendingDate = "12/24/2026";
    std::string pendingTime = "6:45:00 AM";
    bool menuChecked = false;
    std::vector<std::string> calls;
};

}  // namespace tolvenmark::testing
