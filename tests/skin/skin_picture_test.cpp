#include "skin/skin_picture.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include <jpeglib.h>
#include <jerror.h>

#include <gtest/gtest.h>

#include "platform/conversion_error.h"
#include "skin/jpeg_codec.h"
#include "support/filled_image.h"
#include "support/little_endian.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::Filled;

std::string JpegBytes(const QImage& image) {
    const std::vector<std::uint8_t> bytes = EncodeJpeg(image);
    return std::string(bytes.begin(), bytes.end());
}

// A small JPEG whose frame header claims width x height.
std::string JpegClaiming(int width, int height) {
    std::string bytes = JpegBytes(Filled(8, 8, Qt::red));
    const std::size_t sof = bytes.find("\xFF\xC0");
    bytes[sof + 5] = static_cast<char>(height >> 8);
    bytes[sof + 6] = static_cast<char>(height & 0xFF);
    bytes[sof + 7] = static_cast<char>(width >> 8);
    bytes[sof + 8] = static_cast<char>(width & 0xFF);
    return bytes;
}

using testing::PutLe;

// A bitmap header for a 24-bit image of the given size and no pixel data.
std::string BitmapClaiming(std::int32_t width, std::int32_t height) {
    std::string bytes(54, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLe(bytes, 2, 54, 4);
    PutLe(bytes, 10, 54, 4);
    PutLe(bytes, 14, 40, 4);
    PutLe(bytes, 18, static_cast<std::uint32_t>(width), 4);
    PutLe(bytes, 22, static_cast<std::uint32_t>(height), 4);
    PutLe(bytes, 26, 1, 2);
    PutLe(bytes, 28, 24, 2);
    return bytes;
}

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

class SkinPictureTest : public ::testing::Test {
protected:
    void Save(const QImage& image, const std::string& name, const char* format) {
        ASSERT_TRUE(image.save(QString::fromStdString(dir_.File(name)), format)) << name;
    }
    std::string Path(const std::string& name) const { return dir_.File(name); }
    testing::TempDir dir_;
};

TEST_F(SkinPictureTest, EveryKnownFormatLoadsAsScreenCopy) {
    Save(Filled(30, 20, Qt::blue), "face.bmp", "BMP");
    Save(Filled(30, 20, Qt::blue), "FACE.BMP", "BMP");
    Save(Filled(16, 16, Qt::blue), "icon.ico", "ICO");
    testing::WriteFileBytes(Path("face.jpg"), JpegBytes(Filled(30, 20, Qt::blue)));
    testing::WriteFileBytes(Path("face.jpeg"), JpegBytes(Filled(30, 20, Qt::blue)));
    QImage mono(30, 20, QImage::Format_Mono);
    mono.fill(0);
    Save(mono, "mask.bmp", "BMP");

    for (const char* name : {"face.bmp", "FACE.BMP", "icon.ico", "face.jpg", "face.jpeg"}) {
        SCOPED_TRACE(name);
        QImage image;
        LoadSkinImage(Path(name), image);
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        EXPECT_EQ(image.width(), std::string(name) == "icon.ico" ? 16 : 30);
        const QColor pixel = image.pixelColor(5, 5);
        EXPECT_LE(pixel.red(), 8);
        EXPECT_GE(pixel.blue(), 247);
    }
    QImage maskImage;
    LoadSkinImage(Path("mask.bmp"), maskImage);
    EXPECT_EQ(maskImage.format(), QImage::Format_RGB32);
    EXPECT_EQ(maskImage.pixel(0, 0), mono.convertToFormat(QImage::Format_RGB32).pixel(0, 0));
}

TEST_F(SkinPictureTest, TransparentIconPixelsShowWhite) {
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    icon.setPixelColor(3, 3, Qt::red);
    Save(icon, "spot.ico", "ICO");
    QImage image;
    LoadSkinImage(Path("spot.ico"), image);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(3, 3), QColor(Qt::red));
}

TEST_F(SkinPictureTest, GifNamesKeepThePreviousImage) {
    Save(Filled(4, 4, Qt::red), "anim.gif.bmp", "BMP");
    // Only the three characters after the first "." count, so the last name
    // is a GIF too, and none of them is even opened.
    for (const char* name : {"face.gif", "FACE.GIF", "face.giff", "anim.gif.bmp"}) {
        SCOPED_TRACE(name);
        QImage image = Filled(7, 7, Qt::green);
        LoadSkinImage(Path(name), image);
        EXPECT_EQ(image.size(), QSize(7, 7));
        EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::green));
    }
}

TEST_F(SkinPictureTest, FailuresCarryThePictureLayersMessages) {
    testing::WriteFileBytes(Path("face.wmf"), "not read");
    testing::WriteFileBytes(Path("face.EMF"), "not read");
    testing::WriteFileBytes(Path("noext"), "not read");
    testing::WriteFileBytes(Path("broken.bmp"), "BM this is no bitmap");
    testing::WriteFileBytes(Path("broken.ico"), std::string("\0\0\1\0\1\0garbage", 13));
    testing::WriteFileBytes(Path("broken.jpg"), "no jpeg at all");
    testing::WriteFileBytes(Path("empty.jpg"), "");
    testing::WriteFileBytes(Path("huge.bmp"), BitmapClaiming(20000, 20000));
    testing::WriteFileBytes(Path("wide.bmp"), BitmapClaiming(16385, 1));
    testing::WriteFileBytes(Path("huge.jpg"), JpegClaiming(60000, 60000));
    testing::WriteFileBytes(Path("toomany.jpg"), JpegClaiming(16384, 4097));  // 64 megapixels and more
    std::filesystem::create_directory(Path("folder.bmp"));

    struct Case {
        const char* name;
        std::string message;
    };
    const Case cases[] = {
        {"missing.bmp", "Cannot open file " + Path("missing.bmp")},
        {"missing.jpg", "Cannot open file " + Path("missing.jpg")},
        {"folder.bmp", "Cannot open file " + Path("folder.bmp")},
        {"face.wmf", "Unknown picture file extension (.wmf)"},
        {"face.EMF", "Unknown picture file extension (.EMF)"},
        {"noext", "Unknown picture file extension (.)"},
        {"nothere.png", "Unknown picture file extension (.png)"},  // decided before opening
        {"broken.bmp", "Bitmap image is not valid"},
        {"broken.ico", "Bitmap image is not valid"},
        {"huge.bmp", "Bitmap image is not valid"},
        {"wide.bmp", "Bitmap image is not valid"},
        {"huge.jpg", "Bitmap image is not valid"},
        {"toomany.jpg", "Bitmap image is not valid"},
        {"broken.jpg", "JPEG error #" + std::to_string(JERR_NO_SOI)},
        {"empty.jpg", "JPEG error #" + std::to_string(JERR_INPUT_EMPTY)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = Filled(2, 2, Qt::green);
        EXPECT_EQ(ErrorOf([&] { LoadSkinImage(Path(c.name), image); }), c.message);
        EXPECT_EQ(image.size(), QSize(2, 2)) << "a failed load changed the image";
    }
}

TEST_F(SkinPictureTest, LargestAcceptedSideStillLoads) {
    testing::WriteFileBytes(Path("strip.jpg"), JpegClaiming(16384, 8));
    QImage image;
    LoadSkinImage(Path("strip.jpg"), image);  // short data is padded, not an error
    EXPECT_EQ(image.size(), QSize(16384, 8));
}

// Within our limits, whatever the toolkit's own allocation cap would say.
TEST_F(SkinPictureTest, ThirtySixMegapixelBitmapLoads) {
    std::string bytes = BitmapClaiming(6000, 6000);
    PutLe(bytes, 28, 16, 2);
    bytes.resize(54 + 12000u * 6000u, '\x1f');
    PutLe(bytes, 2, static_cast<std::uint32_t>(bytes.size()), 4);
    testing::WriteFileBytes(Path("six.bmp"), bytes);
    QImage image;
    LoadSkinImage(Path("six.bmp"), image);
    EXPECT_EQ(image.size(), QSize(6000, 6000));
}

TEST(JpegCodecTest, NoiseLargerThanTheFirstBufferSurvivesTheRoundTrip) {
    QImage noise(600, 400, QImage::Format_RGB32);
    std::uint32_t state = 12345;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            noise.setPixel(x, y, 0xFF000000u | (state >> 8));
        }
    const std::vector<std::uint8_t> bytes = EncodeJpeg(noise);
    ASSERT_GT(bytes.size(), 2u * 65536u);  // the output buffer had to grow twice
    EXPECT_EQ(bytes[bytes.size() - 2], 0xFF);
    EXPECT_EQ(bytes[bytes.size() - 1], 0xD9);  // a complete stream
    EXPECT_EQ(DecodeJpeg(bytes.data(), bytes.size()).size(), noise.size());
}

TEST(JpegCodecTest, RoundTripAndGreyDecode) {
    QImage face = Filled(40, 30, QColor(200, 40, 40));
    const std::vector<std::uint8_t> bytes = EncodeJpeg(face);
    ASSERT_GT(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);

    const QImage colour = DecodeJpeg(bytes.data(), bytes.size());
    EXPECT_EQ(colour.size(), face.size());
    EXPECT_EQ(colour.format(), QImage::Format_RGB32);
    EXPECT_NEAR(colour.pixelColor(10, 10).red(), 200, 6);
    EXPECT_NEAR(colour.pixelColor(10, 10).green(), 40, 6);

    const QImage grey = DecodeJpeg(bytes.data(), bytes.size(), true);
    EXPECT_EQ(grey.size(), face.size());
    const QColor g = grey.pixelColor(10, 10);
    EXPECT_EQ(g.red(), g.green());
    EXPECT_EQ(g.green(), g.blue());
    EXPECT_NEAR(g.red(), 0.299 * 200 + 0.587 * 40 + 0.114 * 40, 4);  // the codec's luma

    EXPECT_TRUE(EncodeJpeg(QImage()).empty());
    EXPECT_EQ(ErrorOf([] { DecodeJpegFile("/nonexistent/face.jpg"); }), "Cannot open file /nonexistent/face.jpg");
}

// An 8 x 8 JPEG of one CMYK value as stored, with or without Adobe's marker
// (whose programs store ink inverted).
std::string CmykJpeg(const std::array<std::uint8_t, 4>& stored, bool adobeMarker) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = 8;
    cinfo.image_height = 8;
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    cinfo.write_Adobe_marker = adobeMarker ? TRUE : FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    std::array<std::uint8_t, 32> row{};
    for (std::size_t i = 0; i < row.size(); ++i) row[i] = stored[i % 4];
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&cinfo, &line, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string bytes(reinterpret_cast<char*>(out), size);
    std::free(out);
    return bytes;
}

struct CmykCase {
    const char* name;
    std::array<std::uint8_t, 4> stored;
    bool adobe;
    QColor shown;
};

class CmykJpegTest : public ::testing::TestWithParam<CmykCase> {};

TEST_P(CmykJpegTest, InkBecomesTheColourItPrints) {
    const std::string bytes = CmykJpeg(GetParam().stored, GetParam().adobe);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const QImage image = DecodeSkinImage(data, bytes.size(), "JPG");
    ASSERT_EQ(image.format(), QImage::Format_RGB32);
    const QColor pixel = image.pixelColor(4, 4);
    EXPECT_NEAR(pixel.red(), GetParam().shown.red(), 3);
    EXPECT_NEAR(pixel.green(), GetParam().shown.green(), 3);
    EXPECT_NEAR(pixel.blue(), GetParam().shown.blue(), 3);
    const QColor grey = DecodeJpeg(data, bytes.size(), true).pixelColor(4, 4);
    EXPECT_EQ(grey.red(), grey.green());
    EXPECT_EQ(grey.green(), grey.blue());
}

INSTANTIATE_TEST_SUITE_P(
    Inks, CmykJpegTest,
    ::testing::Values(CmykCase{"AdobeRed", {255, 0, 0, 255}, true, QColor(255, 0, 0)},
                      CmykCase{"PlainRed", {0, 255, 255, 0}, false, QColor(255, 0, 0)},
                      CmykCase{"AdobeHalfBlack", {255, 255, 255, 128}, true, QColor(128, 128, 128)},
                      CmykCase{"PlainBlack", {0, 0, 0, 255}, false, QColor(0, 0, 0)},
                      CmykCase{"PlainPaper", {0, 0, 0, 0}, false, QColor(255, 255, 255)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResourceImageTest, BuiltInImagesComeByUpperCaseBaseName) {
    for (const char* name : {"ACMask.bmp", "ACMain.jpg", "acsel.JPG"}) {
        SCOPED_TRACE(name);
        QImage image;
        LoadResourceImage(name, image);
        EXPECT_EQ(image.size(), QSize(501, 357));
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
    }
    QImage mask;
    LoadResourceImage("ACMask.bmp", mask);
    EXPECT_EQ(mask.pixel(250, 180), qRgb(0, 0, 0));
    QImage image;
    EXPECT_EQ(ErrorOf([&] { LoadResourceImage("Nothing.jpg", image); }), "Resource NOTHING not found");
}

}  // namespace
}  // namespace tolvenmark
