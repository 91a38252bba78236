// Skin images are downloaded files: the BMP, icon and JPEG readers must
// refuse damaged or oversized ones with an error, never crash or hang.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/conversion_error.h"
#include "skin/jpeg_codec.h"
#include "skin/skin_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const char* const kinds[] = {"BMP", "ICO", "JPG", "JPG"};
    const int choice = data[0] & 3;
    ++data;
    --size;
    try {
        QImage image = choice == 3 ? tolvenmark::DecodeJpeg(data, size, true)
                                   : tolvenmark::DecodeSkinImage(data, size, kinds[choice]);
        if (image.isNull() || image.format() != QImage::Format_RGB32) std::abort();
        if (image.width() > 16384 || image.height() > 16384) std::abort();
    } catch (const tolvenmark::OperationError&) {
    }
    return 0;
}
