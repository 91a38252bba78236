#include "platform/saved_text.h"

#include <QLineEdit>
#include <QTableWidgetItem>
#include <QVariant>

#include "platform/conversion_error.h"

namespace tolvenmark {

namespace {

constexpr const char* kBytesProperty = "savedBytes";
constexpr const char* kEncodingProperty = "savedEncoding";
constexpr int kBytesRole = Qt::UserRole + 40;
constexpr int kEncodingRole = Qt::UserRole + 41;

std::string BytesFor(const QString& shown, const QVariant& bytes, const QVariant& encoding) {
    const QByteArray saved = bytes.toByteArray();
    const std::string original(saved.constData(), static_cast<std::size_t>(saved.size()));
    const auto line = static_cast<TextEncoding>(encoding.isValid() ? encoding.toInt() : 0);
    if (shown == DecodeText(original, line)) return original;
    if (auto encoded = EncodeText(shown, line)) return *std::move(encoded);
    throw OperationError("\"" + shown.toStdString() +
                         "\" cannot be saved: its line is in the Windows-1252 character set, which has no "
                         "place for one of its characters.");
}

QByteArray Bytes(const std::string& bytes) { return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())); }

}  // namespace

void ShowSavedText(QLineEdit& edit, const std::string& bytes) { ShowSavedText(edit, bytes, LineEncoding(bytes)); }

void ShowSavedText(QLineEdit& edit, const std::string& bytes, TextEncoding line) {
    edit.setProperty(kBytesProperty, Bytes(bytes));
    edit.setProperty(kEncodingProperty, static_cast<int>(line));
    edit.setText(DecodeText(bytes, line));
}

std::string SavedText(const QLineEdit& edit) {
    return BytesFor(edit.text(), edit.property(kBytesProperty), edit.property(kEncodingProperty));
}

void ShowSavedText(QTableWidgetItem& item, const std::string& bytes, TextEncoding line) {
    item.setData(kBytesRole, Bytes(bytes));
    item.setData(kEncodingRole, static_cast<int>(line));
    item.setText(DecodeText(bytes, line));
}

std::string SavedText(const QTableWidgetItem& item) {
    return BytesFor(item.text(), item.data(kBytesRole), item.data(kEncodingRole));
}

}  // namespace tolvenmark
