// A downloaded skin is loaded and then painted: every hot area pressed or
// hovered, every track bar's thumb, every display item with a text in any
// character set, over faces, glyph strips and sheets that may be sound,
// damaged or of any size. Positions anywhere in 32 bits must neither
// overflow nor crash.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <QGuiApplication>
#include <QImage>

#include "platform/conversion_error.h"
#include "platform/prompts.h"
#include "skin/face_parking.h"
#include "skin/jpeg_codec.h"
#include "skin/mask_region.h"
#include "skin/skin_painter.h"
#include "skin/skin_reader.h"
#include "fuzz_support.h"

namespace fs = std::filesystem;

namespace {

const std::string& FuzzRoot() {
    static const std::string root = tolvenmark::fuzzing::MakeSkinFuzzRoot("paint");
    return root;
}

void EnsureGuiApplication() {
    static std::unique_ptr<QGuiApplication> app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "skin_paint_fuzz";
        static char* argv[] = {name, nullptr};
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
}

void WriteBytes(const std::string& path, const std::string& content) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
}

std::string ReadBytes(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::string content;
    char buffer[4096];
    std::size_t got = 0;
    while (file && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
    if (file) std::fclose(file);
    return content;
}

// A striped image, so that every glyph cell and face differs.
std::string SoundImage(int width, int height, bool jpeg) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 7, y * 13, (x + y) * 3));
    if (jpeg) {
        const auto bytes = tolvenmark::EncodeJpeg(image);
        return std::string(bytes.begin(), bytes.end());
    }
    const std::string path = FuzzRoot() + "/sound.bmp";
    image.save(QString::fromStdString(path), "BMP");
    return ReadBytes(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnsureGuiApplication();
    struct Sound {
        const char* name;
        std::string bytes;
    };
    static const Sound sounds[] = {
        {"mask.bmp", SoundImage(64, 48, false)},  {"face.jpg", SoundImage(64, 48, true)},
        {"down.bmp", SoundImage(64, 48, false)},  {"digits.bmp", SoundImage(55, 9, false)},
        {"sheet.bmp", SoundImage(90, 12, false)}, {"thumb.bmp", SoundImage(6, 4, false)},
    };
    const std::string dir = FuzzRoot() + "/skin/";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir)) fs::remove_all(entry.path(), ec);

    FuzzedDataProvider fuzz(data, size);
    for (const Sound& sound : sounds) {
        switch (fuzz.ConsumeIntegralInRange<int>(0, 7)) {
            case 0: break;  // missing
            case 1: WriteBytes(dir + sound.name, fuzz.ConsumeRandomLengthString(256)); break;
            case 2: WriteBytes(dir + sound.name, sound.bytes.substr(0, sound.bytes.size() / 2)); break;
            default: WriteBytes(dir + sound.name, sound.bytes); break;
        }
    }
    const std::uint32_t keyColor = fuzz.ConsumeIntegral<std::uint32_t>();
    const std::uint32_t tolerance = fuzz.ConsumeIntegral<std::uint32_t>();
    const int activeTrackBar = fuzz.ConsumeIntegralInRange<int>(-1, 3);
    WriteBytes(dir + "skin.ini", fuzz.ConsumeRandomLengthString(16384));

    tolvenmark::fuzzing::SilentPrompts prompts;
    tolvenmark::Skin skin;
    try {
        skin = tolvenmark::BuildSkinFromFile(dir + "skin.ini", tolvenmark::Skin{}, prompts);
    } catch (const tolvenmark::ConversionError&) {
        return 0;
    } catch (const tolvenmark::OperationError&) {
        return 0;
    }

    for (tolvenmark::HotAreaInfoRec& area : skin.HotAreas) {
        area.Pressed = fuzz.ConsumeBool();
        area.Hover = fuzz.ConsumeBool();
    }
    for (tolvenmark::DisplayInfoRec& item : skin.DisplayItems) {
        if (fuzz.ConsumeBool()) item.Text = fuzz.ConsumeRandomLengthString(64);
        item.Font.Charset = fuzz.ConsumeIntegral<std::uint8_t>();
    }
    tolvenmark::PrepareForPainting(skin);
    (void)tolvenmark::MaskToRegion(skin.MaskImage, keyColor, tolerance);
    if (skin.MaskImage.isNull()) return 0;
    QImage face(skin.MaskImage.size(), QImage::Format_RGB32);
    tolvenmark::ComposeFace(skin, activeTrackBar, face);
    if (face.size() != skin.MaskImage.size()) std::abort();

    // A tick's change: one item's text, composed again only where it reaches.
    if (!skin.DisplayItems.empty()) {
        const std::size_t changed = fuzz.ConsumeIntegralInRange<std::size_t>(0, skin.DisplayItems.size() - 1);
        tolvenmark::DisplayInfoRec& item = skin.DisplayItems[changed];
        const QRect before = tolvenmark::DisplayItemArea(skin, item, face.size());
        item.Text = fuzz.ConsumeRandomLengthString(64);
        const QRect after = tolvenmark::DisplayItemArea(skin, item, face.size());
        if (!face.rect().contains(before | after) && !(before | after).isEmpty()) std::abort();
        tolvenmark::ComposeFaceArea(skin, activeTrackBar, face, before | after);

        // The same from the up face's pieces alone, as a parked face gives it.
        tolvenmark::Skin parked = skin;
        parked.UpJpeg = "kept";
        if (tolvenmark::ParkUpFace(parked, {before, after}) && !tolvenmark::UpFaceCovers(parked, before | after))
            std::abort();
        (void)tolvenmark::ComposeFacePart(parked, activeTrackBar, face.size(), before | after);
    }
    return 0;
}
