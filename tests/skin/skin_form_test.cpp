#include "skin/skin_form.h"

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/conversion_error.h"
#include "support/filled_image.h"
#include "support/gui_app.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

const QColor kUpColour = Qt::red, kDownColour = Qt::green, kOnColour = Qt::blue;
const QPoint kNoSpot(150, 30);

using testing::Filled;

HotAreaInfoRec Area(std::string id, int x, int y, int w, int h) {
    HotAreaInfoRec a;
    a.ID = std::move(id);
    a.X = x;
    a.Y = y;
    a.Width = w;
    a.Height = h;
    return a;
}

TrackBarInfoRec Bar(std::string id, int x, int y, int length, int thumbWidth) {
    TrackBarInfoRec t;
    t.ID = std::move(id);
    t.X = x;
    t.Y = y;
    t.Length = length;
    t.ThumbBitmap = Filled(thumbWidth, 10, Qt::yellow);
    t.ThumbDownBitmap = Filled(thumbWidth, 10, Qt::cyan);
    t.ThumbWidth = thumbWidth;
    t.ThumbHeight = 10;
    return t;
}

// 200 x 100: buttons along the top, a text item, a volume bar at the bottom.
Skin TestSkin() {
    Skin skin;
    skin.MaskImage = Filled(200, 100, Qt::black);
    skin.UpImage = Filled(200, 100, kUpColour);
    skin.DownImage = Filled(200, 100, kDownColour);
    skin.OnImage = Filled(200, 100, kOnColour);
    skin.DistinctHover = true;
    skin.HotAreas = {Area("EXIT", 0, 0, 20, 10), Area("AL_OFFON", 30, 0, 20, 10), Area("DUP", 60, 0, 10, 10),
                     Area("DUP", 80, 0, 10, 10)};
    skin.HotAreas[0].Hint = "Exit Program";
    skin.HotAreas[1].HasState = true;
    skin.HotAreas[2].HasState = skin.HotAreas[3].HasState = true;
    DisplayInfoRec time;
    time.ID = "TIME";
    time.X = 0;
    time.Y = 40;
    time.Width = 40;
    time.Height = 20;
    time.Font = DisplayFont{"MS Sans Serif", false, false, 12, 0xFFFFFF, 0};
    skin.DisplayItems = {time};
    skin.TrackBars = {Bar("VOL", 10, 70, 100, 20)};
    return skin;
}

class SkinFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureGuiApplication(); }

    void SetUp() override {
        window = std::make_unique<QWidget>();
        form = new TSkinForm(window.get());
        form->OnMouseDownNotify = [this](const std::string& id, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            downs.push_back(id);
        };
        form->OnMouseUpNotify = [this](const std::string& id, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            ups.push_back(id);
        };
        form->OnMouseMoveNotify = [this](const std::string& id, Qt::KeyboardModifiers, int, int) {
            moves.push_back(id);
        };
        form->OnTrackBarNotify = [this](const std::string& id, int position) {
            tracks.emplace_back(id, position);
        };
        form->OnSkinChanged = [this](TSkinForm*) { ++skinChanges; };
    }

    void TearDown() override { TSkinForm::ApplicationActivated(true); }

    void Show(Skin skin = TestSkin()) {
        form->AssignSkin(std::move(skin));
        window->move(100, 100);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void Press(QPoint p, Qt::MouseButton button = Qt::LeftButton) { QTest::mousePress(form, button, {}, p); }
    void Release(QPoint p, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseRelease(form, button, {}, p); }
    // With or without a button held, delivered straight to the window.
    void Move(QPoint p, Qt::MouseButtons held = Qt::NoButton) {
        QMouseEvent event(QEvent::MouseMove, p, form->mapToGlobal(p), Qt::NoButton, held, {});
        QApplication::sendEvent(form, &event);
        QCoreApplication::processEvents();
    }
    QColor FaceAt(QPoint p) { return form->Face().pixelColor(p); }
    const HotAreaInfoRec& HotArea(int i) { return form->CurrentSkin().HotAreas[static_cast<std::size_t>(i)]; }
    const TrackBarInfoRec& Volume() { return form->CurrentSkin().TrackBars[0]; }

    std::unique_ptr<QWidget> window;
    TSkinForm* form = nullptr;
    std::vector<std::string> downs, ups, moves;
    std::vector<std::pair<std::string, int>> tracks;
    int skinChanges = 0;
};

TEST_F(SkinFormTest, CreationValuesAndCoupledGreyFlags) {
    EXPECT_EQ(form->KeyColor(), 0xFFFFFFu);
    EXPECT_EQ(form->Tolerance(), 0u);
    EXPECT_TRUE(form->Grayout());
    EXPECT_TRUE(form->GrayoutAll());
    EXPECT_FALSE(form->WebHotSpot());
    EXPECT_EQ(form->HotSpotCursor(), Qt::PointingHandCursor);

    form->SetGrayout(false);
    EXPECT_FALSE(form->GrayoutAll());
    form->SetGrayoutAll(true);
    EXPECT_TRUE(form->Grayout());
}

TEST_F(SkinFormTest, SkinShapesAndSizesItsWindow) {
    Skin skin = TestSkin();
    skin.MaskImage.setPixel(0, 0, qRgb(255, 255, 255));
    Show(std::move(skin));
    EXPECT_EQ(window->size(), QSize(200, 100));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(window->mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(window->mask().contains(QPoint(1, 0)));
    EXPECT_TRUE(window->mask().contains(QPoint(199, 99)));
    EXPECT_EQ(skinChanges, 1);
    // Where windows cannot be cut (Wayland) the cut-away pixels show what lies behind.
    EXPECT_TRUE(window->testAttribute(Qt::WA_TranslucentBackground));
    const QImage shown = window->grab().toImage();
    EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
    EXPECT_EQ(shown.pixel(1, 0), kUpColour.rgb());
}

TEST_F(SkinFormTest, SwitchTogglesAtThePress_ReleaseElsewhereReportsNothing) {
    Show();
    Press({35, 5});
    EXPECT_TRUE(form->GetHotAreaState("AL_OFFON"));
    EXPECT_EQ(downs, std::vector<std::string>{"AL_OFFON"});
    Move(kNoSpot, Qt::LeftButton);
    Release(kNoSpot);
    EXPECT_EQ(ups, std::vector<std::string>{""});
    EXPECT_TRUE(form->GetHotAreaState("AL_OFFON"));
    EXPECT_EQ(FaceAt({35, 5}), kDownColour);

    Press({35, 5});
    Release({36, 6});
    EXPECT_EQ(ups.back(), "AL_OFFON");
    EXPECT_FALSE(form->GetHotAreaState("AL_OFFON"));
    EXPECT_EQ(FaceAt({35, 5}), kUpColour);
}

TEST_F(SkinFormTest, ButtonReportedOnlyWhenPressAndReleaseAreOnIt) {
    Show();
    for (bool slideFirst : {true, false}) {
        SCOPED_TRACE(slideFirst ? "slide off, then release" : "release elsewhere at once");
        ups.clear();
        Press({5, 5});
        EXPECT_EQ(FaceAt({5, 5}), kDownColour);
        if (slideFirst) Move(kNoSpot, Qt::LeftButton);
        Release(kNoSpot);
        EXPECT_EQ(ups, std::vector<std::string>{""});
        EXPECT_FALSE(HotArea(0).Pressed);
        EXPECT_EQ(FaceAt({5, 5}), kUpColour);
    }
    Press({5, 5});
    Release({19, 9});
    EXPECT_EQ(ups.back(), "EXIT");
    EXPECT_EQ(FaceAt({5, 5}), kUpColour);
}

TEST_F(SkinFormTest, OnlyALeftPressOnNoSpotMovesTheWindow) {
    Show();
    struct Case {
        const char* name;
        Qt::MouseButton button;
        QPoint at;
        std::string reported;
        bool moves;
    };
    const Case cases[] = {
        {"left on no spot", Qt::LeftButton, kNoSpot, "", true},
        {"right on no spot", Qt::RightButton, kNoSpot, "", false},
        {"left on a display item", Qt::LeftButton, {10, 50}, "TIME", false},
        {"left on a button", Qt::LeftButton, {5, 5}, "EXIT", false},
        {"left on a track outside its thumb", Qt::LeftButton, {100, 75}, "VOL", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window->move(100, 100);
        QCoreApplication::processEvents();
        const QPoint before = window->pos();
        downs.clear();
        Press(c.at, c.button);
        Move(c.at + QPoint(20, 15), c.button);
        QCoreApplication::processEvents();
        EXPECT_EQ(downs, std::vector<std::string>{c.reported});
        EXPECT_EQ(window->pos() != before, c.moves) << window->pos().x() << "," << window->pos().y();
        Release(c.at + QPoint(20, 15), c.button);
    }
}

TEST_F(SkinFormTest, DuplicatedIdsActOnTheFirst_IdsAreCaseSensitive) {
    Show();
    EXPECT_EQ(form->FindHotArea("DUP"), 2);
    EXPECT_EQ(form->FindHotArea("exit"), -1);
    EXPECT_EQ(form->HotAreaId(3), "DUP");
    EXPECT_EQ(form->HotAreaId(4), "");
    EXPECT_EQ(form->HotAreaId(-1), "");

    form->SetHotAreaState("DUP", true);
    EXPECT_TRUE(HotArea(2).State);
    EXPECT_FALSE(HotArea(3).State);
    EXPECT_EQ(FaceAt({65, 5}), kDownColour);
    EXPECT_EQ(FaceAt({85, 5}), kUpColour);
    HotArea(3);
    form->SetHotAreaState("NOPE", true);  // nothing to change
    EXPECT_FALSE(form->GetHotAreaState("NOPE"));
}

TEST_F(SkinFormTest, GroupMembersSelectEachOther) {
    Skin skin = TestSkin();
    skin.HotAreas = {Area("A", 0, 0, 10, 10), Area("B", 20, 0, 10, 10)};
    for (HotAreaInfoRec& a : skin.HotAreas) {
        a.HasState = true;
        a.Group = "G";
    }
    skin.HotAreas[0].State = true;
    skin.GroupNames = {"G"};
    skin.GroupSelection = {"0"};
    Show(std::move(skin));

    Press({25, 5});
    Release({25, 5});
    EXPECT_FALSE(form->GetHotAreaState("A"));
    EXPECT_TRUE(form->GetHotAreaState("B"));
    EXPECT_EQ(form->CurrentSkin().GroupSelection, std::vector<std::string>{"1"});
    Press({25, 5});
    Release({25, 5});
    EXPECT_FALSE(form->GetHotAreaState("A"));
    EXPECT_TRUE(form->GetHotAreaState("B"));
    EXPECT_EQ(FaceAt({5, 5}), kUpColour);
    EXPECT_EQ(FaceAt({25, 5}), kDownColour);
}

TEST_F(SkinFormTest, PressOnTrackCentresThumbThenSnapsToWholePercent) {
    Show();
    Press({10 + 60, 75});  // the thumb covers the first 20 pixels
    EXPECT_EQ(Volume().Position, 62);  // offset 50 of 80
    EXPECT_EQ(Volume().Offset, 49);    // 62 % of 80
    EXPECT_EQ(tracks, (std::vector<std::pair<std::string, int>>{{"VOL", 62}}));
    EXPECT_FALSE(form->Dragging());
    Release({10 + 60, 75});
}

TEST_F(SkinFormTest, DraggedThumbFollowsThePointerWithinTheTrack) {
    Show();
    Press({15, 75});  // 5 pixels into the thumb
    EXPECT_TRUE(form->Dragging());
    EXPECT_EQ(form->ActiveTrackBar(), 0);
    EXPECT_EQ(FaceAt({12, 72}), QColor(Qt::cyan));
    Move({60, 75}, Qt::LeftButton);
    EXPECT_EQ(tracks.back(), (std::pair<std::string, int>{"VOL", 56}));  // offset 45 of 80
    EXPECT_EQ(Volume().Offset, 44);
    Move({150, 75}, Qt::LeftButton);  // beyond the track: the thumb stays
    EXPECT_EQ(tracks.size(), 1u);
    Move({110, 75}, Qt::LeftButton);  // the track's end is still in
    EXPECT_EQ(tracks.back().second, 100);
    EXPECT_EQ(Volume().Offset, 80);
    Release({110, 75});
    EXPECT_FALSE(form->Dragging());
    EXPECT_EQ(FaceAt({100, 72}), QColor(Qt::yellow));
}

TEST_F(SkinFormTest, TrackNoLongerThanItsThumbStaysAtZero) {
    for (int length : {20, 12}) {
        SCOPED_TRACE(length);
        Skin skin = TestSkin();
        skin.TrackBars = {Bar("VOL", 10, 70, length, 20)};
        skin.TrackBars[0].Offset = 5;  // thumb 15..35: the track's start is free
        Show(std::move(skin));
        tracks.clear();
        Press({12, 75});
        Release({12, 75});
        Press({20, 75});  // on the thumb, now at 0
        Move({21, 75}, Qt::LeftButton);
        Release({21, 75});
        EXPECT_EQ(tracks, (std::vector<std::pair<std::string, int>>{{"VOL", 0}, {"VOL", 0}}));
        EXPECT_EQ(Volume().Offset, 0);
    }
}

TEST_F(SkinFormTest, WebHotSpotHighlightsNamesAndHintsTheSpot) {
    Show();
    Move({5, 5});
    EXPECT_EQ(moves.back(), "");
    EXPECT_FALSE(HotArea(0).Hover);
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);

    form->SetWebHotSpot(true);
    Move({5, 5});
    EXPECT_EQ(moves.back(), "EXIT");
    EXPECT_EQ(form->Hint(), "Exit Program");
    EXPECT_EQ(form->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(FaceAt({5, 5}), kOnColour);
    Move({35, 5});  // straight onto the next button
    EXPECT_EQ(FaceAt({5, 5}), kUpColour);
    EXPECT_EQ(FaceAt({35, 5}), kOnColour);
    Move(kNoSpot);
    EXPECT_EQ(moves.back(), "");
    EXPECT_EQ(form->Hint(), "");
    EXPECT_EQ(FaceAt({35, 5}), kUpColour);
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(SkinFormTest, HeldButtonShowsItsDownFaceUnderTheHoverHighlight) {
    Show();
    form->SetWebHotSpot(true);
    Move({5, 5});
    EXPECT_EQ(FaceAt({5, 5}), kOnColour);
    Press({5, 5});
    Move({6, 5}, Qt::LeftButton);
    EXPECT_EQ(FaceAt({5, 5}), kDownColour);
    Release({6, 5});
    EXPECT_EQ(FaceAt({5, 5}), kOnColour);  // still under the pointer
}

TEST_F(SkinFormTest, GreyFaceHoldsWhileInactive_ColourFaceKeepsUpdatingWithoutIt) {
    for (bool grayout : {true, false}) {
        SCOPED_TRACE(grayout ? "Grayout on" : "Grayout off");
        Show();
        form->SetGrayout(grayout);
        form->SetDisplayText("TIME", "");
        const QImage active = form->Face().copy();

        TSkinForm::ApplicationActivated(false);
        const QImage inactive = form->Face().copy();
        EXPECT_EQ(form->ShowsGrayFace(), grayout);
        const QColor c = inactive.pixelColor(100, 50);
        EXPECT_EQ(grayout, c.red() == c.green() && c.green() == c.blue());

        form->SetDisplayText("TIME", "12:34");
        EXPECT_EQ(form->Face() == inactive, grayout);  // the grey face stays as it was

        TSkinForm::ApplicationActivated(true);
        EXPECT_FALSE(form->ShowsGrayFace());
        EXPECT_NE(form->Face(), active);  // the text set while inactive is there
        EXPECT_EQ(FaceAt({100, 50}), kUpColour);
    }
}

TEST_F(SkinFormTest, FaceAfterManyChangesIsTheFaceOfTheLastText) {
    Show();
    for (const char* text : {"1", "12", "12:", "12:3", "12:34", "12:34"}) form->SetDisplayText("TIME", text);
    const QImage once = form->Face();
    Skin skin = TestSkin();
    skin.DisplayItems[0].Text = "12:34";
    TSkinForm other;
    other.AssignSkin(std::move(skin));
    EXPECT_EQ(once, other.Face());
}

// A skin on disk: 60 x 30, its top-left corner cut away by the white key.
std::string WriteSkin(const testing::TempDir& dir, const std::string& exitLine) {
    QImage mask = Filled(60, 30, Qt::black);
    mask.setPixel(0, 0, qRgb(255, 255, 255));
    mask.save(QString::fromStdString(dir.File("mask.bmp")), "BMP");
    Filled(60, 30, kUpColour).save(QString::fromStdString(dir.File("up.bmp")), "BMP");
    testing::WriteFileBytes(dir.File("skin.ini"),
                            "[Version]\nVer=217\n[BITMAPINFO]\nMaskBitmap=mask.bmp\nMouseUpBitmap=up.bmp\n"
                            "[HOTAREAINFO]\nCount=1\n1=" + exitLine + "\n");
    return dir.File("skin.ini");
}

TEST_F(SkinFormTest, FailedLoadLeavesTheWindowAsItWas) {
    testing::ScriptedPrompts prompts;
    testing::ScopedAppPrompts scoped(prompts);
    Show();
    testing::TempDir dir;
    try {
        form->LoadSkin(WriteSkin(dir, "EXIT, 4x, 0, 10, 10, Exit"));
        FAIL() << "loaded a skin with a bad number";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'4x' is not a valid integer value");
    }
    EXPECT_EQ(form->CurrentSkin().HotAreas.size(), 4u);
    EXPECT_EQ(window->size(), QSize(200, 100));
    EXPECT_EQ(form->Face().size(), QSize(200, 100));
    EXPECT_EQ(form->SkinFile(), "");
    EXPECT_EQ(skinChanges, 1);

    const std::string good = WriteSkin(dir, "EXIT, 40, 0, 10, 10, Exit");
    form->LoadSkin(good);
    EXPECT_EQ(form->SkinFile(), good);
    EXPECT_EQ(window->size(), QSize(60, 30));
    EXPECT_FALSE(form->Outline().contains(QPoint(0, 0)));
    EXPECT_EQ(form->Outline().boundingRect(), QRect(0, 0, 60, 30));
    EXPECT_EQ(form->FindHotArea("EXIT"), 0);
    EXPECT_EQ(skinChanges, 2);
    EXPECT_TRUE(prompts.shown.empty());
}

// Checkerboards: a run for every black square; a last row all black adds
// one run, all white none. At most 32,000 runs make a region, at most
// 4,194,304 a window at all.
TEST_F(SkinFormTest, RaggedOutlineAsBitmapOrRefused) {
    testing::TempDir dir;
    auto load = [&](int width, int height, bool oneMore) {
        QImage mask(width, height + 1, QImage::Format_Mono);
        mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        for (int y = 0; y < height; ++y) std::memset(mask.scanLine(y), y % 2 ? 0x55 : 0xAA, mask.bytesPerLine());
        std::memset(mask.scanLine(height), oneMore ? 0x00 : 0xFF, mask.bytesPerLine());
        ASSERT_TRUE(mask.save(QString::fromStdString(dir.File("mask.bmp")), "BMP"));
        testing::WriteFileBytes(dir.File("skin.ini"), "[Version]\nVer=217\n[BITMAPINFO]\nMaskBitmap=mask.bmp\n");
        form->LoadSkin(dir.File("skin.ini"));
    };
    for (const bool oneMore : {false, true}) {
        load(320, 200, oneMore);  // 32,000 runs
        EXPECT_EQ(form->Outline() == QRegion(0, 0, 320, 201), oneMore);
    }
    load(4096, 2048, false);
    EXPECT_EQ(form->Outline(), QRegion(0, 0, 4096, 2049));
    try {
        load(4096, 2048, true);
        FAIL() << "loaded";
    } catch (const OperationError& error) {
        EXPECT_EQ(error.what(), "The mask of the skin " + dir.File("skin.ini") +
                                    " cuts the window into more than 4194304 pieces, more than a window system can hold.");
    }
    EXPECT_EQ(form->Face().size(), QSize(4096, 2049));
}

TEST_F(SkinFormTest, BuiltInSkinFillsItsRectangleAndLightsItsSwitch) {
    form->LoadDefaultSkin();
    EXPECT_EQ(form->ResourceName(), "Skin");
    EXPECT_EQ(form->Face().size(), QSize(501, 357));
    EXPECT_TRUE(form->Outline().xored(QRegion(0, 0, 501, 357)).isEmpty());
    ASSERT_EQ(form->CurrentSkin().HotAreas.size(), 8u);

    const QRect alarmSwitch(13, 182, 210, 45);
    const QImage off = form->Face().copy(alarmSwitch);
    form->SetHotAreaState("AL_OFFON", true);
    EXPECT_NE(form->Face().copy(alarmSwitch), off);
}

}  // namespace
}  // namespace tolvenmark
