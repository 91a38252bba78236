#pragma once

#include <cerrno>
#include <cstdint>
#include <string>

#include "platform/conversion_error.h"
#include "platform/regular_file.h"

namespace tolvenmark {

// Skin images come from downloaded files: refuse sizes no face needs before
// anything is decoded, so a small file cannot ask for gigabytes.
inline constexpr std::uint64_t kMaxImageSide = 16384;
inline constexpr std::uint64_t kMaxImagePixels = 64ull * 1024 * 1024;
inline constexpr std::uintmax_t kMaxImageFileBytes = 300ull * 1024 * 1024;
// The largest image decoded, at four bytes a pixel, in the toolkit's megabytes.
inline constexpr int kMaxImageAllocationMegabytes = static_cast<int>(kMaxImagePixels * 4 / (1024 * 1024));

inline bool ImageSizeAcceptable(std::uint64_t width, std::uint64_t height) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

// The whole file, or "Cannot open file <path>" (also for anything that is
// not a regular file).
inline std::string ReadImageFile(const std::string& path) {
    std::string bytes;
    const int error = ReadRegularFile(path, bytes, kMaxImageFileBytes);
    if (error == EFBIG) throw OperationError("Bitmap image is not valid");
    if (error != 0) throw OperationError("Cannot open file " + path);
    return bytes;
}

inline const std::uint8_t* ImageBytes(const std::string& bytes) {
    return reinterpret_cast<const std::uint8_t*>(bytes.data());
}

}  // namespace tolvenmark
