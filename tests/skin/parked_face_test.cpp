#include <gtest/gtest.h>

#include "skin/face_parking.h"
#include "skin/skin_form.h"
#include "skin/skin_painter.h"
#include "skin/skin_reader.h"
#include "support/gui_app.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

struct ParkCase {
    const char* name;
    std::string images;  // "" for the built-in skin
    bool parks, onWithIt, upParks;
};
class ParkedFaceTest : public ::testing::TestWithParam<ParkCase> {};

// Parking lets go of a face only where its bytes can give it back, and what
// is composed afterwards (from the up face's piece while it is parked) is
// the same, pixel for pixel.
TEST_P(ParkedFaceTest, GivesBackTheSamePixels) {
    testing::EnsureGuiApplication();
    testing::TempDir dir;
    QImage pattern(64, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 64; ++x) pattern.setPixel(x, y, qRgb(x * 4, y * 6, (x * y) & 0xFF));
    for (const char* name : {"up.jpg", "down.jpg", "down.bmp"})
        ASSERT_TRUE(pattern.mirrored(name[0] == 'd', false).save(QString::fromStdString(dir.File(name))));
    testing::WriteFileBytes(dir.File("skin.ini"), "[VERSION]\nVer=217\n[BITMAPINFO]\nMaskBitmap=up.jpg\n" +
                                                      GetParam().images + "[HOTAREAINFO]\nCount=2\n"
                                                      "1=AL_OFFON, 2, 2, 20, 10, On, TRUE\n2=B, 30, 5, 20, 20, B\n");
    testing::ScriptedPrompts prompts;
    Skin skin = GetParam().images.empty() ? BuildDefaultSkin(Skin{}, prompts)
                                          : BuildSkinFromFile(dir.File("skin.ini"), Skin{}, prompts);
    PrepareForPainting(skin);
    skin.HotAreas[0].HasState = skin.HotAreas[0].State = true;
    skin.HotAreas[1].Hover = true;
    QImage before(skin.MaskImage.size(), QImage::Format_RGB32), after = before;
    ComposeFace(skin, -1, before);
    EXPECT_EQ(ParkDownFace(skin), GetParam().parks);
    EXPECT_EQ(skin.DownImage.isNull(), GetParam().parks);
    EXPECT_EQ(skin.OnImage.isNull(), GetParam().parks && GetParam().onWithIt);
    EXPECT_TRUE(ComposeUsesDownFace(skin, nullptr));
    UnparkDownFace(skin);
    // Two pieces side by side, an area across both.
    const QRect left(10, 5, 20, 20), right(30, 5, 20, 20), inside(25, 6, 10, 10);
    EXPECT_EQ(ParkUpFace(skin, {left, right}), GetParam().upParks);
    EXPECT_EQ(UpFaceCovers(skin, before.rect()), !GetParam().upParks);
    EXPECT_EQ(ComposeFacePart(skin, -1, before.size(), inside), before.copy(inside));
    UnparkUpFace(skin);
    ComposeFace(skin, -1, after);
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(
    Faces, ParkedFaceTest,
    ::testing::Values(ParkCase{"BuiltIn", "", true, true, true},
                      ParkCase{"OwnHoverFace", "MouseUpBitmap=up.jpg\nMouseDownBitmap=down.jpg\nMouseOnBitmap=up.jpg\n",
                               true, false, false},
                      ParkCase{"DownIsUp", "MouseUpBitmap=up.jpg\nMouseDownBitmap=up.jpg\n", false, false, false},
                      ParkCase{"BitmapDown", "MouseUpBitmap=up.jpg\nMouseDownBitmap=down.bmp\n", false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Grey lets go of both faces; coming back shows them again as they were.
TEST(ParkedFaceFormTest, FocusComingBackShowsTheFacesAgain) {
    testing::EnsureGuiApplication();
    TSkinForm form;
    form.LoadDefaultSkin();
    form.SetHotAreaState("AL_OFFON", true);
    const QRect alarmSwitch = form.HotAreaBox(form.FindHotArea("AL_OFFON"));
    const QImage shown = form.Face().copy(alarmSwitch);
    TSkinForm::ApplicationActivated(false);
    EXPECT_TRUE(form.CurrentSkin().DownParked);
    EXPECT_TRUE(form.CurrentSkin().UpParked);
    form.SetDisplayText("SECONDS", "42");
    TSkinForm::ApplicationActivated(true);
    EXPECT_EQ(form.Face().copy(alarmSwitch), shown);
}

}  // namespace
}  // namespace tolvenmark
