#include <string>

#include <QImage>
#include <gtest/gtest.h>

#include "skin/skin_painter.h"
#include "skin/skin_reader.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

QImage Filled(QColor colour) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

bool Shared(const QImage& a, const QImage& b) { return !a.isNull() && a.constBits() == b.constBits(); }

struct ShareCase {
    const char* name;
    std::string images;
    bool upIsDown, onIsDown, maskIsUp;
    QColor down, on;  // what the faces show
};

class SharedFacesTest : public ::testing::TestWithParam<ShareCase> {};

// A file named for several faces is held once; a face that keeps its previous
// content (a GIF) shares nothing with one that was decoded.
TEST_P(SharedFacesTest, OneFileOneCopy) {
    testing::TempDir dir;
    for (const auto& [name, colour] : {std::pair{"mask.bmp", QColor(Qt::red)}, std::pair{"up.bmp", QColor(Qt::green)},
                                       std::pair{"down.bmp", QColor(Qt::blue)}}) {
        ASSERT_TRUE(Filled(colour).save(QString::fromStdString(dir.File(name)), "BMP"));
    }
    testing::WriteFileBytes(dir.File("skin.ini"), "[VERSION]\nVer=217\n[BITMAPINFO]\n" + GetParam().images);
    Skin previous;
    previous.DownImage = Filled(Qt::gray);
    previous.OnImage = Filled(Qt::white);
    testing::ScriptedPrompts prompts;
    Skin skin = BuildSkinFromFile(dir.File("skin.ini"), previous, prompts);
    PrepareForPainting(skin);
    EXPECT_EQ(Shared(skin.UpImage, skin.DownImage), GetParam().upIsDown);
    EXPECT_EQ(Shared(skin.OnImage, skin.DownImage), GetParam().onIsDown);
    EXPECT_EQ(Shared(skin.MaskImage, skin.UpImage), GetParam().maskIsUp);
    EXPECT_EQ(skin.DownImage.pixelColor(0, 0), GetParam().down);
    EXPECT_EQ(skin.OnImage.pixelColor(0, 0), GetParam().on);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SharedFacesTest,
    ::testing::Values(
        ShareCase{"MaskForAll", "MaskBitmap=mask.bmp\n", true, true, true, Qt::red, Qt::red},
        ShareCase{"DownForHover", "MaskBitmap=mask.bmp\nMouseUpBitmap=up.bmp\nMouseDownBitmap=down.bmp\n", false, true,
                  false, Qt::blue, Qt::blue},
        ShareCase{"AllOwnFiles",
                  "MaskBitmap=mask.bmp\nMouseUpBitmap=up.bmp\nMouseDownBitmap=down.bmp\nMouseOnBitmap=up.bmp\n", false,
                  false, false, Qt::blue, Qt::green},
        ShareCase{"KeptFacesStayApart",
                  "MaskBitmap=mask.bmp\nMouseUpBitmap=up.bmp\nMouseDownBitmap=old.gif\nMouseOnBitmap=old.gif\n", false,
                  false, false, Qt::gray, Qt::white}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tolvenmark
