#include <algorithm>
#include <cstdlib>

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

// Pixels further apart than anti-aliasing goes: the toolkit draws text too
// large for its glyph cache up to 15/255 apart at its edges once other sizes
// were drawn, even with every text drawn once beforehand; a stale text is far off.
int StalePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    int stale = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int apart =
                std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
            if (apart > 24)
                ++stale;
        }
    return stale;
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
        EXPECT_EQ(StalePixels(OnScreen(form), form.Face()), 0) << id << " = " << text;
    }
}

}  // namespace
}  // namespace tolvenmark
