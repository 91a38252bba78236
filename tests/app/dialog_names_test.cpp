// Every dialog to a screen reader: each control reached by Tab has a name
// (its caption without the "&"), and Tab goes through them as they are laid out.

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QDialog>
#include <gtest/gtest.h>

#include "bin/calendar_form.h"
#include "bin/delete_range_form.h"
#include "bin/dialog_env.h"
#include "bin/edit_alarm_form.h"
#include "bin/schedule_form.h"
#include "bin/storage_bin_form.h"
#include "setup/alarm_settings.h"
#include "setup/alarm_settings_host.h"
#include "setup/internet_setup.h"
#include "setup/media_setup.h"
#include "setup/scripted_ras_backend.h"
#include "skin/about_box.h"
#include "skin/program_settings.h"
#include "skin/skin_form.h"
#include "support/accessible_names.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

struct QuietHost final : AlarmSettingsHost {
    std::string ClockMode() const override { return "12"; }
    std::string AppPath() const override { return path; }
    std::string PendingDate() const override { return "4/20/2003"; }
    std::string PendingTime() const override { return "6:45:00 PM"; }
    void SetPendingAlarm(const std::string&, const std::string&, const std::string&) override {}
    void SetDisplayText(const std::string&, const std::string&) override {}
    bool AlarmMenuChecked() const override { return false; }
    void SetAlarmMenuCaption(const std::string&) override {}
    std::string path;
};

struct World {
    testing::DialogEnv env;
    testing::TempDir dir;
    // The program settings dialog reads the autostart entry from here.
    struct ConfigHome {
        explicit ConfigHome(const std::string& path) { setenv("XDG_CONFIG_HOME", path.c_str(), 1); }
        ~ConfigHome() { unsetenv("XDG_CONFIG_HOME"); }
    } configHome{dir.File("config")};
    std::map<std::string, std::string> keys;
    ConfigKeys config{[this](const std::string& k) { return keys[k]; },
                      [this](const std::string& k, const std::string& v) { keys[k] = v; }};
    QuietHost host;
    SavedAlarmList rows;
    QWidget main;
    TSkinForm* skin = new TSkinForm(&main);
};

struct DialogCase {
    const char* name;
    std::function<QWidget*(World&)> make;
};

class DialogNamesTest : public ::testing::TestWithParam<DialogCase> {};

TEST_P(DialogNamesTest, TabReachesNamedControlsInLayoutOrder) {
    World world;
    world.host.path = world.dir.path();
    std::unique_ptr<QWidget> dialog(GetParam().make(world));
    dialog->show();
    EXPECT_EQ(testing::FocusChainFaults(*dialog), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    All, DialogNamesTest,
    ::testing::Values(
        DialogCase{"AlarmSettings", [](World& w) { return new TForm2(w.host, w.config); }},
        DialogCase{"MediaPrograms", [](World& w) { return new TForm6(w.config, AppMediaMemory(), w.dir.path()); }},
        DialogCase{"Internet",
                   [](World& w) {
                       return new TForm8(std::make_unique<testing::ScriptedRasBackend>(), w.config, w.env.prompts);
                   }},
        DialogCase{"StorageBin", [](World& w) { return new TForm7(nullptr, w.dir.path(), w.config); }},
        DialogCase{"Schedule",
                   [](World& w) {
                       return new TForm10(nullptr, w.dir.path(), w.config, "Work", "4/20/2003", "6:45:00 PM");
                   }},
        DialogCase{"Calendar", [](World&) { return new TForm3(nullptr); }},
        DialogCase{"EditAlarm", [](World&) { return new TForm9(nullptr); }},
        DialogCase{"DeleteRange", [](World& w) { return new TForm11(nullptr, w.rows); }},
        DialogCase{"ProgramSettings",
                   [](World& w) {
                       w.skin->LoadDefaultSkin();
                       ProgramSettingsLinks links;
                       links.alarmOnFlag = [] { return false; };
                       links.readConfigKey = [&w](const std::string& k) { return w.keys[k]; };
                       links.writeConfigKey = [&w](const std::string& k, const std::string& v) { w.keys[k] = v; };
                       return new TForm4(*w.skin, links);
                   }},
        DialogCase{"About", [](World&) { return new TForm5(nullptr); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tolvenmark
