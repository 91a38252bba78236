#include <functional>
#include <string>
#include <vector>

#include <QPainter>
#include <gtest/gtest.h>

#include "skin/skin_form.h"
#include "skin/skin_painter.h"
#include "support/gui_app.h"

namespace tolvenmark {
namespace {

// Every pixel different from its neighbours, so a wrongly placed copy shows.
QImage Pattern(int w, int h, int seed) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed) & 0xFF, (y * 13 + seed * 3) & 0xFF, (x * y + seed) & 0xFF));
    return image;
}

DisplayInfoRec Item(const char* id, const char* font, bool bold, bool italic, int size, int x, int y,
                    const char* style = "Normal") {
    DisplayInfoRec item;
    item.ID = id;
    item.Font = DisplayFont{font, bold, italic, size, 0x00336699, 0};
    item.X = x;
    item.Y = y;
    item.Style = style;
    return item;
}

// Slanted and emboldened faces drawn from upright ones, items overlapping one
// another and the face's edges, glyph rows partly outside.
Skin AwkwardSkin() {
    Skin skin;
    skin.MaskImage = QImage(300, 200, QImage::Format_RGB32);
    skin.MaskImage.fill(Qt::black);
    skin.UpImage = Pattern(280, 190, 1);  // smaller than the face: black beyond it
    skin.DownImage = Pattern(300, 200, 2);
    skin.OnImage = Pattern(300, 200, 3);
    skin.NumbersImage = Pattern(11 * 9, 14, 4);
    skin.TextImage = Pattern(30 * 8, 3 * 12, 5);
    HotAreaInfoRec offOn;
    offOn.ID = "AL_OFFON";
    offOn.X = 100;
    offOn.Y = 20;
    offOn.Width = 120;
    offOn.Height = 60;
    offOn.HasState = true;
    skin.HotAreas = {offOn};
    skin.DisplayItems = {
        Item("TIME", "Z003", false, true, 60, -10, 10),
        Item("SECONDS", "Noto Mono", true, true, 40, 120, 30),
        Item("AM_PM", "Droid Sans Fallback", true, true, 30, 250, -10),
        Item("DATE", "Nimbus Sans", false, false, 9, 20, 120, "Number"),
        Item("AL_HEADER", "Lucida Fax", true, false, 14, 270, 150, "Text"),
        Item("AL_DATE", "MS Sans Serif", false, true, 12, 200, 185),
    };
    return skin;
}

struct SkinCase {
    const char* name;
    std::function<void(TSkinForm&)> load;
};

struct Step {
    const char* id;  // a display item, or "AL_OFFON" for the alarm switch
    const char* text;
};

// A run of clock ticks and alarm changes, with texts that grow, shrink,
// vanish and use characters no glyph sheet has.
const std::vector<Step> kRun = {
    {"SECONDS", "58"}, {"SECONDS", "59"}, {"TIME", "12:59"}, {"SECONDS", "00"}, {"TIME", " 1:00"},
    {"AM_PM", "PM"}, {"AM_PM", ""}, {"AM_PM", "AM"}, {"DATE", "December 7, 2026"}, {"DATE", "May 1, 2027"},
    {"AL_HEADER", "A much longer alarm header than any skin expects"}, {"AL_HEADER", ""},
    {"AL_HEADER", "Wake up ~ \xe9t\xe9 {}"}, {"AL_OFFON", "1"}, {"AL_DATE", "12/8/2026 at 7:00:00 AM"},
    {"SECONDS", "01"}, {"AL_OFFON", "0"}, {"AL_DATE", " at 19:00"}, {"TIME", "23:59"}, {"SECONDS", "01"},
    {"DATE", "0123456789 0123456789 0123456789 0123456789 0123456789"}, {"SECONDS", "02"},
};

class IncrementalFaceTest : public ::testing::TestWithParam<SkinCase> {
protected:
    static void SetUpTestSuite() { testing::EnsureGuiApplication(); }
};

// Where two faces differ, for the failure message.
std::string Difference(const QImage& a, const QImage& b) {
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) box |= QRect(x, y, 1, 1);
    return "differs within x " + std::to_string(box.x()) + " y " + std::to_string(box.y()) + " w " +
           std::to_string(box.width()) + " h " + std::to_string(box.height());
}

void Apply(TSkinForm& form, const Step& step) {
    if (std::string(step.id) == "AL_OFFON")
        form.SetHotAreaState(step.id, std::string(step.text) == "1");
    else
        form.SetDisplayText(step.id, step.text);
}

TEST_P(IncrementalFaceTest, EveryStepEqualsAWholeComposition) {
    // The font engine's glyph caches make the first drawing of new glyphs
    // nudge later drawings of others by a shade; the run is drawn once
    // beforehand so that both compositions meet the same caches.
    {
        TSkinForm warm;
        GetParam().load(warm);
        QImage scratch(warm.Face().size(), QImage::Format_RGB32);
        for (const Step& step : kRun) {
            Apply(warm, step);
            ComposeFace(warm.CurrentSkin(), -1, scratch);
        }
    }
    TSkinForm form;
    GetParam().load(form);
    ASSERT_FALSE(form.Face().isNull());
    int n = 0;
    for (const Step& step : kRun) {
        Apply(form, step);
        const QImage& face = form.Face();
        QImage whole(face.size(), QImage::Format_RGB32);
        ComposeFace(form.CurrentSkin(), form.ActiveTrackBar(), whole);
        ASSERT_TRUE(face == whole) << "step " << n << " " << step.id << " = '" << step.text << "' "
                                   << Difference(face, whole);
        ++n;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Skins, IncrementalFaceTest,
    ::testing::Values(SkinCase{"BuiltIn", [](TSkinForm& f) { f.LoadDefaultSkin(); }},
                      SkinCase{"Round",
                               [](TSkinForm& f) { f.LoadSkin(TOLVENMARK_SOURCE_DIR "/resources/skins/round/skin.ini"); }},
                      SkinCase{"Strip",
                               [](TSkinForm& f) { f.LoadSkin(TOLVENMARK_SOURCE_DIR "/resources/skins/strip/skin.ini"); }},
                      SkinCase{"Awkward", [](TSkinForm& f) { f.AssignSkin(AwkwardSkin()); }}),
    [](const auto& info) { return std::string(info.param.name); });

struct InkCase {
    const char* name;
    DisplayFont font;
    const char* text;
};

class DisplayItemAreaTest : public ::testing::TestWithParam<InkCase> {
protected:
    static void SetUpTestSuite() { testing::EnsureGuiApplication(); }
};

// Every pixel the text changes lies inside the item's area.
TEST_P(DisplayItemAreaTest, HoldsAllTheInk) {
    QImage face(900, 500, QImage::Format_RGB32);
    const QRgb ground = qRgb(1, 2, 3);
    face.fill(ground);
    DisplayInfoRec item;
    item.X = 150;
    item.Y = 120;
    item.Font = GetParam().font;
    item.Font.Color = 0x00FFFFFF;
    item.Text = GetParam().text;
    {
        QPainter painter(&face);
        DrawFontText(painter, item);
    }
    const QRect area = DisplayItemArea(Skin{}, item, face.size());
    int inked = 0;
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            if (face.pixel(x, y) == ground) continue;
            ++inked;
            ASSERT_TRUE(area.contains(x, y)) << "ink at " << x << "," << y;
        }
    }
    EXPECT_GT(inked, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, DisplayItemAreaTest,
    ::testing::Values(InkCase{"SubstitutedSerifLarge", {"Lucida Fax", false, false, 80, 0, 1}, "12:59"},
                      InkCase{"SubstitutedSans", {"MS Sans Serif", false, false, 12, 0, 0}, "gjpqy Wake up"},
                      InkCase{"SwashItalic", {"Z003", false, true, 72, 0, 1}, "fjQgyfTh"},
                      InkCase{"SyntheticBoldItalic", {"Noto Mono", true, true, 60, 0, 1}, "Wfj_|"},
                      InkCase{"SyntheticBoldItalicFallback", {"Droid Sans Fallback", true, true, 90, 0, 1}, "WAVE jg"},
                      InkCase{"NegativeSizeIsAHeight", {"DejaVu Serif", true, true, -40, 0, 1}, "fff\xc4g"},
                      InkCase{"Tiny", {"DejaVu Sans", false, false, 1, 0, 1}, "Hello"},
                      InkCase{"AccentsAboveTheAscent", {"P052", false, true, 48, 0, 0}, "\xc5\xc9\xd1\xc7"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tolvenmark
