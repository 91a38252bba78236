#include "skin/skin_picture.h"

#include <cstdint>
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

// Transparent parts of icons and 32-bit bitmaps show the white of a fresh
// bitmap, as drawing them onto one did.
QImage ToScreenCopy(const QImage& decoded) {
    if (!decoded.hasAlphaChannel()) return decoded.convertToFormat(QImage::Format_RGB32);
    QImage copy(decoded.size(), QImage::Format_RGB32);
    if (copy.isNull()) ThrowInvalidBitmap();
    copy.fill(Qt::white);
    QPainter painter(&copy);
    painter.drawImage(0, 0, decoded);
    return copy;
}

QImage DecodeWithQt(const std::uint8_t* data, std::size_t size, const char* format) {
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) ThrowInvalidBitmap();
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<int>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    const QSize announced = reader.size();
    if (announced.isValid() && !ImageSizeAcceptable(static_cast<std::uint64_t>(announced.width()),
                                                    static_cast<std::uint64_t>(announced.height())))
        ThrowInvalidBitmap();
    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull()) ThrowInvalidBitmap();
    if (!ImageSizeAcceptable(static_cast<std::uint64_t>(decoded.width()),
                             static_cast<std::uint64_t>(decoded.height())))
        ThrowInvalidBitmap();
    return ToScreenCopy(decoded);
}

}  // namespace

QImage DecodeSkinImage(const std::uint8_t* data, std::size_t size, const std::string& format) {
    const std::string kind = AsciiUpper(format);
    if (kind == "BMP") return DecodeWithQt(data, size, "bmp");
    if (kind == "ICO") return DecodeWithQt(data, size, "ico");
    if (kind == "JPG" || kind == "JPEG") return DecodeJpeg(data, size);
    throw OperationError("Unknown picture file extension (." + format + ")");
}

void LoadSkinImage(const std::string& path, QImage& image) {
    if (ShortExtension(path) == "GIF") return;
    // The reader is chosen by name before the file is opened.
    const std::string extension = PictureExtension(path);
    const std::string kind = AsciiUpper(extension);
    if (kind != "BMP" && kind != "ICO" && kind != "JPG" && kind != "JPEG")
        throw OperationError("Unknown picture file extension (." + extension + ")");
    const std::vector<std::uint8_t> bytes = ReadImageFile(FindFileIgnoringCase(path));
    image = DecodeSkinImage(bytes.data(), bytes.size(), kind);
}

void LoadResourceImage(const std::string& fileName, QImage& image) {
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
}

}  // namespace tolvenmark
