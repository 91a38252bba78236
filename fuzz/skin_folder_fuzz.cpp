// A downloaded skin folder: a fuzzed skin file beside a few images (sound,
// damaged or missing) must load or fail with a message, never crash, hang,
// or write outside the private temporary folder.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <QImage>

#include "platform/conversion_error.h"
#include "platform/prompts.h"
#include "skin/jpeg_codec.h"
#include "skin/skin_reader.h"
#include "skin/verify_skin.h"
#include "fuzz_support.h"

namespace fs = std::filesystem;

namespace {

const std::string& FuzzRoot() {
    static const std::string root = tolvenmark::fuzzing::MakeSkinFuzzRoot("skin");
    return root;
}

void WriteBytes(const std::string& path, const std::string& content) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
}

std::string SoundImage(const char* format) {
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(Qt::darkRed);
    if (std::string(format) == "JPG") {
        const auto bytes = tolvenmark::EncodeJpeg(image);
        return std::string(bytes.begin(), bytes.end());
    }
    const std::string path = FuzzRoot() + "/sound." + format;
    image.save(QString::fromStdString(path), format);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::string content;
    char buffer[4096];
    std::size_t got = 0;
    while (file && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
    if (file) std::fclose(file);
    return content;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string soundBmp = SoundImage("BMP");
    static const std::string soundIco = SoundImage("ICO");
    static const std::string soundJpg = SoundImage("JPG");
    const std::string dir = FuzzRoot() + "/skin/";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir)) fs::remove_all(entry.path(), ec);

    FuzzedDataProvider fuzz(data, size);
    // Images the skin may name: each sound, damaged or absent.
    static const char* const names[] = {"a.bmp", "b.jpg", "c.ico", "d.gif", "e.jpeg"};
    for (const char* name : names) {
        const std::string ext = fs::path(name).extension().string();
        switch (fuzz.ConsumeIntegralInRange<int>(0, 2)) {
            case 0: break;
            case 1:
                WriteBytes(dir + name, ext == ".bmp" ? soundBmp : ext == ".ico" ? soundIco : soundJpg);
                break;
            default: WriteBytes(dir + name, fuzz.ConsumeRandomLengthString(512)); break;
        }
    }
    const std::string skinFile = dir + (fuzz.ConsumeBool() ? "skin.ini" : "skin.skn");
    WriteBytes(skinFile, fuzz.ConsumeRemainingBytesAsString());

    tolvenmark::fuzzing::SilentPrompts prompts;
    bool missing = false;
    tolvenmark::VerifySkin(skinFile, missing);
    try {
        tolvenmark::Skin previous;
        tolvenmark::Skin skin = tolvenmark::BuildSkinFromFile(skinFile, previous, prompts);
        if (skin.HotAreas.size() > 1000 || skin.DisplayItems.size() > 1000 || skin.TrackBars.size() > 1000)
            std::abort();
    } catch (const tolvenmark::ConversionError&) {
    } catch (const tolvenmark::OperationError&) {
    }

    for (const auto& entry : fs::directory_iterator(FuzzRoot())) {
        const std::string name = entry.path().filename().string();
        if (name != "skin" && name != "tmp" && name.rfind("sound.", 0) != 0) std::abort();
    }
    return 0;
}
