#include "skin/skin_text.h"

#include <cstring>

#include <QStringDecoder>

#include "platform/text_encoding.h"

namespace tolvenmark {

namespace {

constexpr std::uint8_t kSymbolCharset = 2;
constexpr const char* kWesternPage = "windows-1252";

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
        default: return kWesternPage;  // 0 (ANSI), 1 (default) and sets without a page of their own
    }
}

QString DecodeSkinText(const std::string& text, std::uint8_t charset) {
    const QByteArrayView bytes(text.data(), static_cast<qsizetype>(text.size()));
    if (!HasHighByte(text)) return QString::fromLatin1(bytes);
    if (auto utf8 = DecodeUtf8(text)) return *std::move(utf8);
    const char* page = CharsetCodePage(charset);
    if (!page) return QString::fromLatin1(bytes);
    if (std::strcmp(page, kWesternPage) == 0) return DecodeWestern(text);  // as the saved files are read
    QStringDecoder decoder(page, QStringDecoder::Flag::Stateless);
    if (!decoder.isValid()) return DecodeWestern(text);  // a toolkit built without the code pages
    return decoder(bytes);
}

}  // namespace tolvenmark
