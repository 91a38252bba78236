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

// Extracts the members into targetDir (created when missing). False when the
// file is not a packed skin (magic), or is a damaged or hostile one: then
// nothing is written. Member names must be plain file names. Throws
// OperationError with an input/output message when the file cannot be read
// or a member cannot be written.
bool UnpackSkin(const std::string& packedFile, const std::string& targetDir);

}  // namespace tolvenmark
