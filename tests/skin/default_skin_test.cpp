#include "skin/skin_reader.h"

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/folders.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

TEST(DefaultSkinTest, BuiltInSkinHasItsExactTables) {
    testing::ScriptedPrompts prompts;
    const Skin skin = BuildDefaultSkin(Skin{}, prompts);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(skin.SkinVersion, 217);
    EXPECT_FALSE(skin.DistinctHover);  // hover and pressed faces are the same file
    EXPECT_EQ(skin.Charset, 0);
    for (const QImage* face : {&skin.MaskImage, &skin.UpImage, &skin.DownImage, &skin.OnImage})
        EXPECT_EQ(face->size(), QSize(501, 357));
    EXPECT_TRUE(skin.NumbersImage.isNull());
    EXPECT_TRUE(skin.TrackBars.empty());

    struct Area {
        const char* id;
        int x, y, w, h;
        const char* hint;
        bool hasState;
    };
    const Area areas[] = {
        {"EXIT", 462, 6, 28, 17, "Exit Program", false},
        {"HELP", 434, 6, 28, 17, "Help", false},
        {"MINIMIZE", 405, 6, 28, 17, "Minimize", false},
        {"AL_OFFON", 13, 182, 210, 45, "Alarm On/Off", true},
        {"AL_SETTINGS", 282, 184, 212, 44, "Alarm Settings", false},
        {"PROG_SETTINGS", 282, 237, 212, 44, "Program Settings", false},
        {"SNOOZE", 10, 297, 481, 53, "Snooze", false},
        {"ABOUT", 10, 6, 28, 17, "About Program", false},
    };
    ASSERT_EQ(skin.HotAreas.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        SCOPED_TRACE(areas[i].id);
        const HotAreaInfoRec& a = skin.HotAreas[i];
        EXPECT_EQ(a.ID, areas[i].id);
        EXPECT_EQ(a.X, areas[i].x);
        EXPECT_EQ(a.Y, areas[i].y);
        EXPECT_EQ(a.Width, areas[i].w);
        EXPECT_EQ(a.Height, areas[i].h);
        EXPECT_EQ(a.Hint, areas[i].hint);
        EXPECT_EQ(a.HasState, areas[i].hasState);
        EXPECT_FALSE(a.State);
        EXPECT_EQ(a.Group, "");
    }

    struct Item {
        const char* id;
        const char* font;
        int size, x, y;
        const char* text;
        int w, h;
    };
    const Item items[] = {
        {"TIME", "Lucida Fax", 80, 25, 40, "00:00", 300, 125},
        {"SECONDS", "Lucida Fax", 36, 360, 40, "00", 69, 42},
        {"DATE", "Lucida Fax", 12, 320, 150, "September 30, 2003", 120, 25},
        {"AL_HEADER", "MS Sans Serif", 12, 23, 239, "Alarm Set For:", 189, 22},
        {"AL_DATE", "MS Sans Serif", 12, 23, 260, "2/23/03 at 12:32 PM", 189, 22},
        {"AM_PM", "Lucida Fax", 16, 440, 55, "AM", 20, 30},
    };
    ASSERT_EQ(skin.DisplayItems.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(items[i].id);
        const DisplayInfoRec& d = skin.DisplayItems[i];
        EXPECT_EQ(d.ID, items[i].id);
        EXPECT_EQ(d.Font.Name, items[i].font);
        EXPECT_EQ(d.Font.Size, items[i].size);
        EXPECT_FALSE(d.Font.Bold);
        EXPECT_FALSE(d.Font.Italic);
        EXPECT_EQ(d.Font.Color, 0x000000FFu);
        EXPECT_EQ(d.Font.Charset, 0);
        EXPECT_EQ(d.X, items[i].x);
        EXPECT_EQ(d.Y, items[i].y);
        EXPECT_EQ(d.Style, "Normal");
        EXPECT_EQ(d.Text, items[i].text);
        EXPECT_EQ(d.Hint, "");
        EXPECT_EQ(d.Width, items[i].w);
        EXPECT_EQ(d.Height, items[i].h);
    }
}

TEST(DefaultSkinTest, TemporaryIniIsRemoved) {
    testing::TempDir tmp;
    const char* old = std::getenv("TMPDIR");
    const std::string oldValue = old ? old : "";
    setenv("TMPDIR", tmp.path().c_str(), 1);
    testing::ScriptedPrompts prompts;
    BuildDefaultSkin(Skin{}, prompts);
    const std::string privateDir = PrivateTempDirectory();
    if (old)
        setenv("TMPDIR", oldValue.c_str(), 1);
    else
        unsetenv("TMPDIR");
    EXPECT_EQ(privateDir.rfind(tmp.path(), 0), 0u);
    EXPECT_TRUE(std::filesystem::is_empty(privateDir));
}

}  // namespace
}  // namespace tolvenmark
