#include "skin/skin_picture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>
#include <QPainter>

#include "platform/names.h"
#include "platform/conversion_error.h"
#include "platform/folders.h"
#include "skin/image_input.h"
#include "skin/jpeg_codec.h"

namespace tolvenmark {

namespace {

// The short test for GIF: up to three characters after the first ".".
std::string ShortExtension(const std::string& path) {
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.find('.');
    return dot == std::string::npos ? std::string() : AsciiUpper(name.substr(dot + 1, 3));
}

// The extension the picture layer chooses its reader by: after the last ".",
// as written.
std::string PictureExtension(const std::string& path) {
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

[[noreturn]] void ThrowInvalidBitmap() { throw OperationError("Bitmap image is not valid"); }

std::uint32_t ReadLittleEndian(const std::uint8_t* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
    return value;
}

// Refuses a bitmap whose header asks for more pixels than any face has, or
// whose pixel rows are not all in the file: the toolkit's reader would fill
// them in and show a damaged file as a black face.
void CheckBitmapHeader(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kFileHeader = 14;
    if (size < kFileHeader + 12 || data[0] != 'B' || data[1] != 'M') ThrowInvalidBitmap();
    const std::uint64_t offBits = ReadLittleEndian(data + 10, 4);
    const std::uint64_t infoSize = ReadLittleEndian(data + 14, 4);
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = 0;
    if (infoSize == 12) {  // the oldest header: 16-bit sizes, never compressed
        width = ReadLittleEndian(data + 18, 2);
        height = ReadLittleEndian(data + 20, 2);
        bitCount = ReadLittleEndian(data + 24, 2);
    } else {
        if (infoSize < 16 || size < kFileHeader + std::min<std::uint64_t>(infoSize, 40)) ThrowInvalidBitmap();
        width = static_cast<std::int32_t>(ReadLittleEndian(data + 18, 4));
        height = static_cast<std::int32_t>(ReadLittleEndian(data + 22, 4));
        bitCount = ReadLittleEndian(data + 28, 2);
        if (infoSize >= 20) compression = ReadLittleEndian(data + 30, 4);
    }
    if (height < 0) height = -height;  // rows stored top down
    if (width <= 0 || height <= 0) ThrowInvalidBitmap();
    if (!ImageSizeAcceptable(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height)))
        ThrowInvalidBitmap();
    constexpr std::uint32_t kRgb = 0, kBitFields = 3, kAlphaBitFields = 6;
    if (compression != kRgb && compression != kBitFields && compression != kAlphaBitFields) return;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return;  // the reader refuses these itself
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
    const std::uint64_t start = std::max<std::uint64_t>(offBits, kFileHeader + infoSize);
    if (start + rowBytes * static_cast<std::uint64_t>(height) > size) ThrowInvalidBitmap();
}

// A picture is drawn into a bitmap of the screen's depth, where a bitmap's
// alpha bytes play no part: faces saved with unused alpha bytes of 0 must not
// vanish. Transparent parts of icons show the white of a fresh bitmap, as
// drawing them onto one did.
QImage ToScreenCopy(const QImage& decoded, bool opaque) {
    if (opaque || !decoded.hasAlphaChannel()) return decoded.convertToFormat(QImage::Format_RGB32);
    QImage copy(decoded.size(), QImage::Format_RGB32);
    if (copy.isNull()) ThrowInvalidBitmap();
    copy.fill(Qt::white);
    QPainter painter(&copy);
    painter.drawImage(0, 0, decoded);
    return copy;
}

QImage DecodeWithQt(const std::uint8_t* data, std::size_t size, const char* format) {
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) ThrowInvalidBitmap();
    const bool bitmap = std::strcmp(format, "bmp") == 0;
    if (bitmap) CheckBitmapHeader(data, size);
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<int>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // The toolkit's own cap (128 MB) would refuse faces within ours; ours is
    // checked before the reader allocates anything.
    QImageReader::setAllocationLimit(kMaxImageAllocationMegabytes);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    // Bitmaps have a reader built in; asking every plugin whether it reads
    // them loaded all of them at each start, for nothing.
    if (bitmap) reader.setAutoDetectImageFormat(false);
    const QSize announced = reader.size();
    if (announced.isValid() && !ImageSizeAcceptable(static_cast<std::uint64_t>(announced.width()),
                                                    static_cast<std::uint64_t>(announced.height())))
        ThrowInvalidBitmap();
    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull()) ThrowInvalidBitmap();
    if (!ImageSizeAcceptable(static_cast<std::uint64_t>(decoded.width()),
                             static_cast<std::uint64_t>(decoded.height())))
        ThrowInvalidBitmap();
    return ToScreenCopy(decoded, bitmap);
}

}  // namespace

QImage DecodeSkinImage(const std::uint8_t* data, std::size_t size, const std::string& format) {
    const std::string kind = AsciiUpper(format);
    if (kind == "BMP") return DecodeWithQt(data, size, "bmp");
    if (kind == "ICO") return DecodeWithQt(data, size, "ico");
    if (kind == "JPG" || kind == "JPEG") return DecodeJpeg(data, size);
    throw OperationError("Unknown picture file extension (." + format + ")");
}

void LoadSkinImage(const std::string& path, QImage& image, QByteArray* jpeg) {
    if (ShortExtension(path) == "GIF") return;
    // The reader is chosen by name before the file is opened.
    const std::string extension = PictureExtension(path);
    const std::string kind = AsciiUpper(extension);
    if (kind != "BMP" && kind != "ICO" && kind != "JPG" && kind != "JPEG")
        throw OperationError("Unknown picture file extension (." + extension + ")");
    const std::string bytes = ReadImageFile(FindFileIgnoringCase(path));
    image = DecodeSkinImage(ImageBytes(bytes), bytes.size(), kind);
    if (jpeg) *jpeg = kind == "JPG" || kind == "JPEG" ? QByteArray::fromStdString(bytes) : QByteArray();
}

void LoadResourceImage(const std::string& fileName, QImage& image, QByteArray* jpeg) {
    const std::size_t dot = fileName.find('.');
    const std::string base = AsciiUpper(fileName.substr(0, dot));
    const std::string extension = dot == std::string::npos ? std::string() : AsciiUpper(fileName.substr(dot + 1));
    const bool bitmap = extension == "BMP";
    const std::string resource = std::string(bitmap ? ":/BMP/" : ":/JPG/") + base;
    QFile file(QString::fromStdString(resource));
    if (!file.open(QIODevice::ReadOnly)) throw OperationError("Resource " + base + " not found");
    const QByteArray bytes = file.readAll();
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    image = DecodeSkinImage(data, static_cast<std::size_t>(bytes.size()), bitmap ? "BMP" : "JPG");
    if (jpeg) {
        *jpeg = bitmap ? QByteArray() : bytes;
        jpeg->squeeze();  // kept for the whole run: not the read's spare room
    }
}

}  // namespace tolvenmark
