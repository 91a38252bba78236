#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/profile_file.h"

namespace tolvenmark {

using SkinFields = std::vector<std::string>;

// A mandatory field: "List index out of bounds (<index>)" when the line is
// too short (OperationError).
const std::string& SkinField(const SkinFields& fields, std::size_t index);

// A mandatory integer field: the strict conversion, which throws
// ConversionError "'<text>' is not a valid integer value".
std::int32_t SkinIntField(const SkinFields& fields, std::size_t index);

// An optional text field: "" when the line is too short.
std::string OptionalSkinField(const SkinFields& fields, std::size_t index);

// Values of a skin file, through the profile reader with the original's
// 2048-byte buffer.
std::string ReadSkinString(const ProfileSnapshot& ini, const std::string& section,
                           const std::string& key, const std::string& fallback);

// Ver, Count and Charset: "0x" or "0X" reads as hexadecimal; anything that
// is not an integer gives fallback.
std::int32_t ReadSkinInteger(const ProfileSnapshot& ini, const std::string& section,
                             const std::string& key, std::int32_t fallback);

// Positions and sizes beyond any face are brought within this range as they
// are read, so that no sum of them can leave 32 bits.
inline constexpr std::int32_t kMaxSkinCoordinate = 100000;
std::int32_t ClampSkinCoordinate(std::int32_t value);
// The same for the edges of start .. start + extent: whatever falls on a
// face keeps its place; an extent below 1 stays empty.
void ClampSkinSpan(std::int32_t& start, std::int32_t& extent);

// A table's Count as a number of lines to read: never negative, and capped
// so that a hostile Count cannot ask for millions of entries.
inline constexpr std::int32_t kMaxSkinLines = 1000;
std::size_t ReadSkinCount(const ProfileSnapshot& ini, const std::string& section);

}  // namespace tolvenmark
