#pragma once

#include <functional>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <gtest/gtest.h>

#include "bin/handover.h"
#include "platform/clock.h"
#include "platform/regional_settings.h"
#include "support/gui_app.h"
#include "support/scripted_prompts.h"

namespace tolvenmark::testing {

// What a dialog reads from the process: month/day/year formats, a fixed
// "now", scripted message boxes and fresh hand-over values.
struct DialogEnv {
    RegionalSettings settings;
    FixedClock clock{DateTime{2003, 4, 15, 9, 0, 0, 0}};
    ScriptedPrompts prompts;

    DialogEnv() {
        EnsureGuiApplication();
        settings.shortTimeFormat = "h:mm:ss AMPM";  // the alarm time shape
        SetAppRegionalSettings(&settings);
        SetAppClock(&clock);
        SetAppPrompts(&prompts);
        AppHandovers() = Handovers{};
    }
    ~DialogEnv() {
        SetAppRegionalSettings(nullptr);
        SetAppClock(nullptr);
        SetAppPrompts(nullptr);
    }
};

// Acts on the next modal dialog once its loop runs; a dialog of another
// kind is a failure and is closed so the test cannot hang.
template <typename Dialog>
void OnNextModal(std::function<void(Dialog&)> action) {
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "expected modal dialog did not open";
            if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget())) other->reject();
            return;
        }
        action(*dialog);
    });
}

}  // namespace tolvenmark::testing
