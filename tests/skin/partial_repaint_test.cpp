#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include "skin/skin_form.h"
#include "support/gui_app.h"

namespace tolvenmark {
namespace {

// What the window system holds of the window, not what a fresh paint would give.
QImage OnScreen(QWidget& window) {
    return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// A tick repaints only what its texts changed; the screen must still end up
// showing exactly the face, after each step of a run of ticks.
TEST(PartialRepaintTest, ScreenFollowsTheFaceThroughChangingTexts) {
    testing::EnsureGuiApplication();
    TSkinForm form;
    form.LoadDefaultSkin();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    const std::vector<std::pair<std::string, std::string>> steps = {
        {"SECONDS", "07"}, {"SECONDS", "08"}, {"TIME", "10:05 "}, {"TIME", " 9:59 "},
        {"AL_HEADER", "A much longer header than before"}, {"AL_HEADER", ""}, {"SECONDS", "08"},
    };
    for (const auto& [id, text] : steps) {
        form.SetDisplayText(id, text);
        QTest::qWait(50);
        EXPECT_EQ(OnScreen(form), form.Face()) << id << " = " << text;
    }
}

}  // namespace
}  // namespace tolvenmark
