#pragma once

#include <string>

#include "platform/text_encoding.h"

class QLineEdit;
class QTableWidgetItem;

namespace tolvenmark {

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
