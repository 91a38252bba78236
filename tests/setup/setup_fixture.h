#pragma once

#include <filesystem>
#include <string>

#include "platform/profile_file.h"
#include "setup/alarm_settings_host.h"
#include "platform/config_keys.h"
#include "setup/media_memory.h"
#include "support/gui_app.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark::testing {

// A configuration file, a fake /sys tree and recorded message boxes in a
// temporary folder; the shared in-memory values start as at program start.
class SetupFixture {
public:
    SetupFixture() : config(ProfileConfigKeys(dir.File("TOLVENMARKCLOCK.INI"))), prompts_(prompts) {
        EnsureGuiApplication();
        AppMediaMemory() = MediaMemory{};
        std::filesystem::create_directories(sysRoot() + "/class/block");
    }

    std::string sysRoot() const { return dir.File("sys"); }
    void AddOpticalDrive(const std::string& name) {
        std::filesystem::create_directories(sysRoot() + "/class/block/" + name);
    }
    // A player program that exists.
    std::string MakeProgram(const std::string& name) {
        WriteFileBytes(dir.File(name), "#!/bin/sh\n");
        return dir.File(name);
    }
    void Set(const std::string& key, const std::string& value) { config.write(key, value); }
    std::string Get(const std::string& key) const { return config.read(key); }

    TempDir dir;
    ConfigKeys config;
    ScriptedPrompts prompts;

private:
    ScopedAppPrompts prompts_;
};

// The main window as a dialog sees it, doing nothing.
class QuietHost final : public AlarmSettingsHost {
public:
    std::string ClockMode() const override { return clockMode; }
    std::string AppPath() const override { return appPath; }
    std::string PendingDate() const override { return pendingDate; }
    std::string PendingTime() const override { return pendingTime; }
    std::string TakePendingAlarm(const std::string&, const std::string&, const std::string&) override { return ""; }
    void ShowPendingAlarm() override {}
    std::string appPath;
    std::string clockMode = "24";
    std::string pendingDate;
    std::string pendingTime;
};

}  // namespace tolvenmark::testing
