#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <QByteArray>
#include <QImage>

namespace tolvenmark {

// Loads a skin image file into image as a Format_RGB32 copy. A name whose
// extension (up to three characters after the first "." of the file name)
// is "GIF" loads nothing and leaves image as it was. BMP, JPG/JPEG and ICO
// load; anything else fails with "Unknown picture file extension (.<ext>)".
// Other failures: "Cannot open file <path>", "Bitmap image is not valid",
// "JPEG error #<code>" (all OperationError).
// When jpeg is given, it receives the file's bytes if it was a JPEG, and is
// emptied otherwise (and left as it was when nothing loaded).
void LoadSkinImage(const std::string& path, QImage& image, QByteArray* jpeg = nullptr);

// The built-in skin's images: the name's base name in upper case names the
// resource; a "BMP" extension reads a bitmap, anything else a JPEG.
void LoadResourceImage(const std::string& fileName, QImage& image, QByteArray* jpeg = nullptr);

// The same decoders on bytes in memory; format is "BMP", "ICO" or "JPG".
QImage DecodeSkinImage(const std::uint8_t* data, std::size_t size, const std::string& format);

}  // namespace tolvenmark
