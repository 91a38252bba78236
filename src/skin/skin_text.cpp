#include "skin/skin_text.h"

#include <QStringDecoder>

namespace tolvenmark {

namespace {

constexpr std::uint8_t kSymbolCharset = 2;

// Windows' Western code page without a converter: it differs from Latin-1
// in 0x80-0x9F (the euro sign, curly quotes, dashes).
QString Western(const std::string& text) {
    static constexpr char16_t kHighControls[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString western;
    western.reserve(static_cast<qsizetype>(text.size()));
    for (unsigned char c : text)
        western += (c >= 0x80 && c < 0xA0) ? QChar(kHighControls[c - 0x80]) : QChar(c);
    return western;
}

bool HasHighByte(const std::string& text) {
    for (unsigned char c : text)
        if (c > 127) return true;
    return false;
}

}  // namespace

const char* CharsetCodePage(std::uint8_t charset) {
    switch (charset) {
        case kSymbolCharset: return nullptr;
        case 128: return "Shift_JIS";
        case 129: return "windows-949";
        case 134: return "GBK";
        case 136: return "Big5";
        case 161: return "windows-1253";
        case 162: return "windows-1254";
        case 163: return "windows-1258";
        case 177: return "windows-1255";
        case 178: return "windows-1256";
        case 186: return "windows-1257";
        case 204: return "windows-1251";
        case 222: return "windows-874";
        case 238: return "windows-1250";
        default: return "windows-1252";  // 0 (ANSI), 1 (default) and sets without a page of their own
    }
}

QString DecodeSkinText(const std::string& text, std::uint8_t charset) {
    const QByteArrayView bytes(text.data(), static_cast<qsizetype>(text.size()));
    if (!HasHighByte(text)) return QString::fromLatin1(bytes);
    {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString decoded = utf8(bytes);
        if (!utf8.hasError()) return decoded;
    }
    const char* page = CharsetCodePage(charset);
    if (!page) return QString::fromLatin1(bytes);
    QStringDecoder decoder(page, QStringDecoder::Flag::Stateless);
    if (!decoder.isValid()) return Western(text);  // a toolkit built without the code pages
    return decoder(bytes);
}

}  // namespace tolvenmark
