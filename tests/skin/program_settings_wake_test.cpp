#include "skin/program_settings.h"

#include <cstdlib>
#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

#include "skin/skin_form.h"
#include "support/gui_app.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

// Whether waking is available, and whether the dialog says it is not.
class WakeLine : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        testing::EnsureGuiApplication();
        // The dialog looks after the autostart entry when shown: not the user's.
        setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

    testing::TempDir dir;
    testing::ScriptedPrompts prompts;
    testing::ScopedAppPrompts scopedPrompts{prompts};
};

TEST_P(WakeLine, ShowsOnlyWhenWakingIsUnavailable) {
    const bool unavailable = GetParam();
    QWidget window;
    auto* skinForm = new TSkinForm(&window);
    ProgramSettingsLinks links;
    links.wakeUnavailable = [unavailable] { return unavailable; };
    TForm4 form(*skinForm, links);
    form.FormShow();
    EXPECT_EQ(form.WakeLabel->isVisibleTo(&form), unavailable);
    EXPECT_EQ(form.WakeLabel->text().toStdString(), "Waking from sleep is not available");
    // The line stands below the skin preview, inside the dialog.
    EXPECT_EQ(form.rect().contains(form.WakeLabel->geometry()), unavailable);
    EXPECT_FALSE(form.WakeLabel->geometry().intersects(form.Panel1->geometry()));
}

INSTANTIATE_TEST_SUITE_P(Availability, WakeLine, ::testing::Bool());

}  // namespace
}  // namespace tolvenmark
