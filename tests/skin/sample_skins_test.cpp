// The sample skins as shipped: the folders in resources/skins and the packed
// files the build makes from them.

#include <cmath>
#include <set>

#include <gtest/gtest.h>

#include "skin/mask_region.h"
#include "skin/skin_reader.h"
#include "skin/verify_skin.h"
#include "support/scripted_prompts.h"

namespace tolvenmark {
namespace {

struct SampleSkin {
    const char* folder;
    const char* packed;
};

class SampleSkinTest : public ::testing::TestWithParam<SampleSkin> {
protected:
    std::string Folder() const { return std::string(TOLVENMARK_SOURCE_DIR "/resources/skins/") + GetParam().folder; }
    std::string Packed() const { return std::string(TOLVENMARK_BINARY_DIR "/share/tolvenmark-clock/skins/") + GetParam().packed + ".skn"; }
    Skin Load(const std::string& file) {
        Skin skin = BuildSkinFromFile(file, Skin{}, prompts_);
        EXPECT_TRUE(prompts_.shown.empty()) << prompts_.shown.front();
        return skin;
    }
    testing::ScriptedPrompts prompts_;
};

TEST_P(SampleSkinTest, FolderPassesVerifySkin) {
    bool missing = false;
    VerifySkin(Folder() + "/skin.ini", missing);
    EXPECT_FALSE(missing);
}

TEST_P(SampleSkinTest, EveryClockSpotIsInsideTheWindow) {
    const Skin skin = Load(Folder() + "/skin.ini");
    const QRegion window = MaskToRegion(skin.MaskImage, 0xFFFFFF, 0);
    for (const QImage* face : {&skin.UpImage, &skin.DownImage, &skin.OnImage})
        EXPECT_EQ(face->size(), skin.MaskImage.size());

    std::set<std::string> ids;
    auto inside = [&](const std::string& id, QRect box) {
        ids.insert(id);
        for (QPoint corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
            EXPECT_TRUE(window.contains(corner)) << id << " corner " << corner.x() << "," << corner.y();
    };
    for (const auto& area : skin.HotAreas) inside(area.ID, QRect(area.X, area.Y, area.Width, area.Height));
    for (const auto& item : skin.DisplayItems) inside(item.ID, QRect(item.X, item.Y, item.Width, item.Height));
    EXPECT_EQ(ids, (std::set<std::string>{"EXIT", "HELP", "MINIMIZE", "ABOUT", "AL_OFFON", "AL_SETTINGS",
                                          "PROG_SETTINGS", "SNOOZE", "TIME", "SECONDS", "DATE", "AM_PM", "AL_HEADER",
                                          "AL_DATE"}));
    for (const auto& area : skin.HotAreas) EXPECT_EQ(area.HasState, area.ID == "AL_OFFON") << area.ID;
}

TEST_P(SampleSkinTest, PackedFileLoadsTheSameSkinAsTheFolder) {
    const Skin folder = Load(Folder() + "/skin.ini");
    const Skin packed = Load(Packed());
    EXPECT_EQ(packed.MaskImage, folder.MaskImage);
    EXPECT_EQ(packed.UpImage, folder.UpImage);
    EXPECT_EQ(packed.DownImage, folder.DownImage);
    EXPECT_EQ(packed.NumbersImage, folder.NumbersImage);
    EXPECT_EQ(packed.TextImage, folder.TextImage);
    ASSERT_EQ(packed.HotAreas.size(), folder.HotAreas.size());
    for (std::size_t i = 0; i < packed.HotAreas.size(); ++i) EXPECT_EQ(packed.HotAreas[i].ID, folder.HotAreas[i].ID);
    ASSERT_EQ(packed.DisplayItems.size(), folder.DisplayItems.size());
}

INSTANTIATE_TEST_SUITE_P(Shipped, SampleSkinTest,
                         ::testing::Values(SampleSkin{"round", "Round"}, SampleSkin{"strip", "Strip"}),
                         [](const auto& info) { return std::string(info.param.packed); });

TEST(RoundSkinTest, WindowIsACircle) {
    testing::ScriptedPrompts prompts;
    const Skin skin = BuildSkinFromFile(TOLVENMARK_SOURCE_DIR "/resources/skins/round/skin.ini", Skin{}, prompts);
    const QRegion window = MaskToRegion(skin.MaskImage, 0xFFFFFF, 0);
    const QSize size = skin.MaskImage.size();
    ASSERT_EQ(size.width(), size.height());
    const double r = size.width() / 2.0;
    long long pixels = 0;
    for (const QRect& run : window) pixels += static_cast<long long>(run.width()) * run.height();
    EXPECT_NEAR(pixels / (M_PI * r * r), 1.0, 0.02);
    for (QPoint corner : {QPoint(0, 0), QPoint(size.width() - 1, 0), QPoint(0, size.height() - 1)})
        EXPECT_FALSE(window.contains(corner));
    EXPECT_TRUE(window.contains(QPoint(static_cast<int>(r), 0)));
}

// Glyph cells are copied as whole rectangles: their background must be the
// glass they land on, or every digit would sit in a visible box.
TEST(StripSkinTest, TimeAndSecondsAreGlyphsOnMatchingGlass) {
    testing::ScriptedPrompts prompts;
    const Skin skin = BuildSkinFromFile(TOLVENMARK_SOURCE_DIR "/resources/skins/strip/skin.ini", Skin{}, prompts);
    ASSERT_EQ(skin.TextImage.width() % 30, 0);
    ASSERT_EQ(skin.TextImage.height() % 3, 0);
    ASSERT_EQ(skin.NumbersImage.width() % 11, 0);
    const QSize textCell(skin.TextImage.width() / 30, skin.TextImage.height() / 3);
    const QSize numberCell(skin.NumbersImage.width() / 11, skin.NumbersImage.height());

    auto close = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= 4 && std::abs(qGreen(a) - qGreen(b)) <= 4 &&
               std::abs(qBlue(a) - qBlue(b)) <= 4;
    };
    for (const auto& item : skin.DisplayItems) {
        if (item.ID != "TIME" && item.ID != "SECONDS") continue;
        const bool text = item.ID == "TIME";
        EXPECT_EQ(item.Style, text ? "Text" : "Number");
        const QImage& glyphs = text ? skin.TextImage : skin.NumbersImage;
        const QSize cell = text ? textCell : numberCell;
        const int wide = text ? 6 : 2;  // "12:45 " and "37"
        const QPoint glassCorners[] = {{item.X, item.Y}, {item.X + wide * cell.width() - 1, item.Y + cell.height() - 1}};
        for (QPoint at : glassCorners)
            EXPECT_TRUE(close(skin.UpImage.pixel(at), glyphs.pixel(0, 0))) << item.ID << " at " << at.x() << "," << at.y();
    }
}

}  // namespace
}  // namespace tolvenmark
