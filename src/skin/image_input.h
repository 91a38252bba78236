#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "platform/conversion_error.h"

namespace tolvenmark {

// Skin images come from downloaded files: refuse sizes no face needs before
// anything is decoded, so a small file cannot ask for gigabytes.
inline constexpr std::uint64_t kMaxImageSide = 16384;
inline constexpr std::uint64_t kMaxImagePixels = 64ull * 1024 * 1024;
inline constexpr std::uintmax_t kMaxImageFileBytes = 300ull * 1024 * 1024;

inline bool ImageSizeAcceptable(std::uint64_t width, std::uint64_t height) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

// The whole file, or "Cannot open file <path>".
inline std::vector<std::uint8_t> ReadImageFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) throw OperationError("Cannot open file " + path);
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) throw OperationError("Cannot open file " + path);
    if (size > kMaxImageFileBytes) throw OperationError("Bitmap image is not valid");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw OperationError("Cannot open file " + path);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

}  // namespace tolvenmark
