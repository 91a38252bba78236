#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

namespace tolvenmark {

// How a line of a saved file is read. The program writes UTF-8; older files
// and other programs wrote the machine's Western code page (Windows-1252).
enum class TextEncoding { Utf8, Western };

// UTF-8 when the bytes are valid UTF-8 (plain ASCII included), else Western.
TextEncoding LineEncoding(std::string_view bytes);
std::optional<QString> DecodeUtf8(std::string_view bytes);
// Every byte stands for one character, so Western text always comes back whole.
QString DecodeWestern(std::string_view bytes);
QString DecodeText(std::string_view bytes, TextEncoding encoding);
// Empty when a character has no place in the encoding.
std::optional<std::string> EncodeText(const QString& text, TextEncoding encoding);

}  // namespace tolvenmark
