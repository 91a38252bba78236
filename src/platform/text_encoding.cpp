#include "platform/text_encoding.h"

#include <QStringDecoder>

namespace tolvenmark {

namespace {

// Windows-1252 in 0x80-0x9F; the five bytes it leaves unassigned keep their
// own code, as Windows reads them, so no byte is ever lost.
constexpr char16_t kWesternHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<char> WesternByte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kWesternHigh[i] == c) return static_cast<char>(0x80 + i);
    return std::nullopt;
}

}  // namespace

std::optional<QString> DecodeUtf8(std::string_view bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString decoded = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError()) return std::nullopt;
    return decoded;
}

QString DecodeWestern(std::string_view bytes) {
    QString western;
    western.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char c : bytes) western += (c >= 0x80 && c < 0xA0) ? QChar(kWesternHigh[c - 0x80]) : QChar(c);
    return western;
}

TextEncoding LineEncoding(std::string_view bytes) {
    return DecodeUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Western;
}

QString DecodeText(std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8)
        if (auto text = DecodeUtf8(bytes)) return *std::move(text);
    return DecodeWestern(bytes);
}

std::optional<std::string> EncodeText(const QString& text, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) return text.toStdString();
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        const std::optional<char> byte = WesternByte(c.unicode());
        if (!byte) return std::nullopt;
        bytes += *byte;
    }
    return bytes;
}

}  // namespace tolvenmark
