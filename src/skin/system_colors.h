#pragma once

#include <cstdint>

namespace tolvenmark {

// Colours as skins write them: 0x00BBGGRR, the lowest byte is red. A value
// whose high byte is 0x80 names a system colour by the index in its lowest
// byte instead.
using SkinColor = std::uint32_t;

inline bool IsSystemColor(SkinColor color) { return (color >> 24) == 0x80; }

// The colour as red, green and blue (0x00BBGGRR): a system colour becomes its
// current colour from the application's palette (black for an index that
// names none, as the platform answers); any other value keeps its low three
// bytes.
SkinColor ResolveSkinColor(SkinColor color);

}  // namespace tolvenmark
