#pragma once

#include <cstdint>
#include <string>

#include <QString>

namespace tolvenmark {

// A display text as the platform would show it in a font of that character
// set. Texts the program writes are UTF-8, so a valid UTF-8 text with a byte
// above 127 stays UTF-8; any other text is taken in the character set's code
// page (Western for sets without one, bytes as they are for the symbol set).
QString DecodeSkinText(const std::string& text, std::uint8_t charset);

// The code page name of a character set, or nullptr where bytes stand for
// themselves (the symbol set).
const char* CharsetCodePage(std::uint8_t charset);

}  // namespace tolvenmark
