#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

class QLineEdit;
class QTableWidgetItem;

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

// A saved text shown in a control. While the control shows it unchanged, its
// bytes come back as they were; an edited text comes back in the encoding of
// the line it came from, and one that encoding cannot hold throws
// OperationError, so a save stops before it writes anything.
void ShowSavedText(QLineEdit& edit, const std::string& bytes);  // the text is its own line
void ShowSavedText(QLineEdit& edit, const std::string& bytes, TextEncoding line);
std::string SavedText(const QLineEdit& edit);
void ShowSavedText(QTableWidgetItem& item, const std::string& bytes, TextEncoding line);
std::string SavedText(const QTableWidgetItem& item);

}  // namespace tolvenmark
