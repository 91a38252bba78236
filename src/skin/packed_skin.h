#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tolvenmark {

// The packed skin (".SKN"): an 8844-byte header, then the members' bytes one
// after the other in header order.
inline constexpr std::size_t kPackedHeaderSize = 8844;
inline constexpr std::size_t kPackedCountOffset = 10;
inline constexpr std::size_t kPackedNamesOffset = 11;
inline constexpr std::size_t kPackedNameSize = 65;  // length byte + 64 bytes
inline constexpr std::size_t kPackedSizesOffset = 8332;
inline constexpr std::size_t kPackedMaxMembers = 128;
inline constexpr char kPackedMagic[] = "\x09TSKINFORM";  // 10 bytes
// What one skin's members may take on disk together; more is no skin.
inline constexpr std::uint64_t kPackedMaxTotalBytes = 256ull * 1024 * 1024;

// Extracts the members into targetDir (created when missing). False when the
// file is not a packed skin (magic), or is a damaged or hostile one: then
// nothing is written. Member names must be plain file names, and the
// members together at most kPackedMaxTotalBytes. Throws
// OperationError with an input/output message when the file cannot be read
// or a member cannot be written.
bool UnpackSkin(const std::string& packedFile, const std::string& targetDir);

// Whether the file begins with the packed skin's magic; false when it cannot
// be read.
bool HasPackedMagic(const std::string& file);

}  // namespace tolvenmark
