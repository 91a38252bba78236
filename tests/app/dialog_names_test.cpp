// Every dialog to a screen reader: each control reached by Tab has a name
// (its caption without the "&"), and Tab does not go back up and to the left
// against the layout.

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>

#include <QAccessible>
#include <gtest/gtest.h>

#include "bin/calendar_form.h"
#include "bin/delete_range_form.h"
#include "bin/dialog_env.h"
#include "bin/edit_alarm_form.h"
#include "bin/schedule_form.h"
#include "bin/storage_bin_form.h"
#include "setup/alarm_settings.h"
#include "setup/internet_setup.h"
#include "setup/media_setup.h"
#include "setup/scripted_ras_backend.h"
#include "setup/setup_fixture.h"
#include "skin/about_box.h"
#include "skin/program_settings.h"
#include "skin/skin_form.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

std::vector<std::string> FocusChainFaults(QWidget& window) {
    std::vector<std::string> faults;
    QPoint last(-1, -1);
    for (QWidget* w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(&window) || !w->isEnabledTo(&window)) continue;
        if (w->parentWidget()->focusPolicy() & Qt::TabFocus) continue;  // a spin box's own edit
        const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        const QPoint at = w->mapTo(&window, QPoint(0, 0));
        const std::string what = std::string(w->metaObject()->className()) + " \"" + name.toStdString() + "\" at " +
                                 std::to_string(at.x()) + "," + std::to_string(at.y());
        if (name.trimmed().isEmpty() || name.contains('&')) faults.push_back("unnamed " + what);
        if (at.x() < last.x() && at.y() < last.y()) faults.push_back("Tab goes back to " + what);
        last = at;
    }
    return faults;
}

struct World {
    testing::DialogEnv env;
    testing::TempDir dir;
    const bool hadConfigHome = std::getenv("XDG_CONFIG_HOME") != nullptr;
    const std::string oldConfigHome = hadConfigHome ? std::getenv("XDG_CONFIG_HOME") : "";
    bool configHome = setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1) == 0;  // autostart entry
    std::map<std::string, std::string> keys;
    ConfigKeys config{[this](const std::string& k) { return keys[k]; },
                      [this](const std::string& k, const std::string& v) { keys[k] = v; }};
    testing::QuietHost host = [] {
        testing::QuietHost h;
        h.appPath = "/nonexistent";
        h.clockMode = "12";
        h.pendingDate = "4/20/2003";
        h.pendingTime = "6:45:00 PM";
        return h;
    }();
    SavedAlarmList rows;
    QWidget main;
    TSkinForm* skin = new TSkinForm(&main);
    ~World() { hadConfigHome ? setenv("XDG_CONFIG_HOME", oldConfigHome.c_str(), 1) : unsetenv("XDG_CONFIG_HOME"); }
};

using Dialog = std::function<QWidget*(World&)>;
class DialogNamesTest : public ::testing::TestWithParam<std::pair<const char*, Dialog>> {};

TEST_P(DialogNamesTest, TabReachesNamedControlsInLayoutOrder) {
    World world;
    std::unique_ptr<QWidget> dialog(GetParam().second(world));
    dialog->show();
    EXPECT_EQ(FocusChainFaults(*dialog), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    All, DialogNamesTest,
    ::testing::Values(
        std::pair<const char*, Dialog>{"AlarmSettings", [](World& w) { return new TForm2(w.host, w.config); }},
        std::pair<const char*, Dialog>{"MediaPrograms",
                                       [](World& w) { return new TForm6(w.config, AppMediaMemory(), w.dir.path()); }},
        std::pair<const char*, Dialog>{"Internet", [](World& w) {
            return new TForm8(std::make_unique<testing::ScriptedRasBackend>(), w.config, w.env.prompts);
        }},
        std::pair<const char*, Dialog>{"StorageBin", [](World& w) { return new TForm7(nullptr, w.dir.path(), w.config); }},
        std::pair<const char*, Dialog>{"Schedule", [](World& w) {
            return new TForm10(nullptr, w.dir.path(), w.config, "Work", "4/20/2003", "6:45:00 PM");
        }},
        std::pair<const char*, Dialog>{"Calendar", [](World&) { return new TForm3(nullptr); }},
        std::pair<const char*, Dialog>{"EditAlarm", [](World&) { return new TForm9(nullptr); }},
        std::pair<const char*, Dialog>{"DeleteRange", [](World& w) { return new TForm11(nullptr, w.rows); }},
        std::pair<const char*, Dialog>{"ProgramSettings", [](World& w) {
            w.skin->LoadDefaultSkin();
            ProgramSettingsLinks links;
            links.alarmOnFlag = [] { return false; };
            links.readConfigKey = [&w](const std::string& k) { return w.keys[k]; };
            links.writeConfigKey = [&w](const std::string& k, const std::string& v) { w.keys[k] = v; };
            return new TForm4(*w.skin, links);
        }},
        std::pair<const char*, Dialog>{"About", [](World&) { return new TForm5(nullptr); }}),
    [](const auto& info) { return std::string(info.param.first); });

}  // namespace
}  // namespace tolvenmark
