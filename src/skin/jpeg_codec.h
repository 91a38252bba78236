#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <QImage>

namespace tolvenmark {

// JPEG through the libjpeg API. The error manager never exits the process:
// a damaged stream throws OperationError("JPEG error #<code>").
QImage DecodeJpeg(const std::uint8_t* data, std::size_t size, bool grayscale = false);
QImage DecodeJpegFile(const std::string& path);  // also "Cannot open file %s"
std::vector<std::uint8_t> EncodeJpeg(const QImage& image);  // codec defaults

}  // namespace tolvenmark
