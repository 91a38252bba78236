#include "skin/skin_painter.h"

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <mutex>

#include <QFontMetrics>
#include <QStringDecoder>

#include "skin/jpeg_codec.h"

namespace tolvenmark {

namespace {

// Beyond any face size; keeps a damaged skin from asking for giant glyphs.
constexpr std::int64_t kMaxFontPixels = 2048;

QImage::Format PaintFormat(const QImage& image) {
    return image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
}

void Prepare(QImage& image) {
    if (image.isNull()) return;
    const QImage::Format target = PaintFormat(image);
    if (image.format() != target) image.convertTo(target);
}

// Copies one rectangle of source to the same place; parts outside the source are skipped.
void CopyRect(QPainter& painter, const QImage& source, int x, int y, int width, int height) {
    const QRect area = QRect(x, y, width, height) & source.rect();
    if (area.isEmpty()) return;
    painter.drawImage(area.topLeft(), source, area);
}

void InstallFontSubstitutes() {
    static std::once_flag once;
    std::call_once(once, [] {
        QFont::insertSubstitutions(QStringLiteral("Lucida Fax"),
                                   {QStringLiteral("C059"), QStringLiteral("DejaVu Serif"),
                                    QStringLiteral("Nimbus Roman"), QStringLiteral("serif")});
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("DejaVu Sans"), QStringLiteral("Nimbus Sans"),
                                    QStringLiteral("sans-serif")});
    });
}

// Skin files come from Windows: texts that are not UTF-8 are taken in its
// Western code page, which differs from Latin-1 in 0x80-0x9F (the euro sign,
// curly quotes, dashes).
QString SkinText(const std::string& text) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (!utf8.hasError()) return decoded;
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

}  // namespace

void PrepareForPainting(Skin& skin) {
    Prepare(skin.UpImage);
    Prepare(skin.DownImage);
    Prepare(skin.OnImage);
    Prepare(skin.NumbersImage);
    Prepare(skin.TextImage);
    for (TrackBarInfoRec& bar : skin.TrackBars) {
        Prepare(bar.ThumbBitmap);
        Prepare(bar.ThumbDownBitmap);
    }
}

void ComposeFace(const Skin& skin, int activeTrackBar, QImage& face) {
    if (face.isNull()) return;
    QPainter painter(&face);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (!skin.UpImage.rect().contains(face.rect())) face.fill(Qt::black);
    painter.drawImage(0, 0, skin.UpImage);

    for (const HotAreaInfoRec& area : skin.HotAreas) {
        if ((area.HasState && area.State) || area.Pressed)
            CopyRect(painter, skin.DownImage, area.X, area.Y, area.Width, area.Height);
        if (area.Hover) CopyRect(painter, skin.OnImage, area.X, area.Y, area.Width, area.Height);
    }

    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (std::size_t i = 0; i < skin.TrackBars.size(); ++i) {
        const TrackBarInfoRec& bar = skin.TrackBars[i];
        const QImage& thumb =
            static_cast<int>(i) == activeTrackBar ? bar.ThumbDownBitmap : bar.ThumbBitmap;
        if (bar.Horizontal)
            painter.drawImage(bar.X + bar.Offset, bar.Y, thumb);
        else
            painter.drawImage(bar.X, bar.Y + bar.Offset, thumb);
    }

    for (const DisplayInfoRec& item : skin.DisplayItems) {
        if (item.Style == "Number")
            DrawNumberGlyphs(painter, skin.NumbersImage, item.X, item.Y, item.Text);
        else if (item.Style == "Text")
            DrawTextGlyphs(painter, skin.TextImage, item.X, item.Y, item.Text);
        else
            DrawFontText(painter, item);
    }
}

void DrawNumberGlyphs(QPainter& painter, const QImage& strip, int x, int y, const std::string& text) {
    const int w = strip.width() / 11;
    const int h = strip.height();
    if (w <= 0 || h <= 0) return;
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const std::size_t glyphCount = std::strlen(kNumberGlyphs);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const void* found = std::memchr(kNumberGlyphs, static_cast<unsigned char>(text[i]), glyphCount);
        const int g = found ? static_cast<int>(static_cast<const char*>(found) - kNumberGlyphs) : 0;
        painter.drawImage(QPoint(x + static_cast<int>(i) * w, y), strip, QRect(g * w, 0, w, h));
    }
    painter.setCompositionMode(mode);
}

void DrawTextGlyphs(QPainter& painter, const QImage& sheet, int x, int y, const std::string& text) {
    const int w = sheet.width() / 30;
    const int rh = sheet.height() / 3;
    if (w <= 0 || rh <= 0) return;
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (std::size_t i = 0; i < text.size(); ++i) {
        int row = 1;
        int column = 10;  // the blank
        for (int r = 0; r < 3; ++r) {
            const char* glyphs = kTextGlyphRows[r];
            const void* found =
                std::memchr(glyphs, static_cast<unsigned char>(text[i]), std::strlen(glyphs));
            if (found) {
                row = r;
                column = static_cast<int>(static_cast<const char*>(found) - glyphs);
                break;
            }
        }
        painter.drawImage(QPoint(x + static_cast<int>(i) * w, y), sheet,
                          QRect(column * w, row * rh, w, rh));
    }
    painter.setCompositionMode(mode);
}

QColor SkinQColor(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

QFont DisplayQFont(const DisplayFont& font) {
    InstallFontSubstitutes();
    QFont result(QString::fromStdString(font.Name));
    // Points at 96 dpi, rounded like the platform's own conversion. Size 0
    // meant the default size and a negative size a height; neither may vanish.
    const std::int64_t points = font.Size == 0 ? 8 : std::abs(static_cast<std::int64_t>(font.Size));
    const std::int64_t pixels = (points * 96 + 36) / 72;
    result.setPixelSize(static_cast<int>(std::clamp<std::int64_t>(pixels, 1, kMaxFontPixels)));
    result.setBold(font.Bold);
    result.setItalic(font.Italic);
    return result;
}

void DrawFontText(QPainter& painter, const DisplayInfoRec& item) {
    if (item.Text.empty()) return;
    const QFont font = DisplayQFont(item.Font);
    painter.setFont(font);
    painter.setPen(SkinQColor(item.Font.Color));
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawText(QPoint(item.X, item.Y + QFontMetrics(font).ascent()), SkinText(item.Text));
    painter.setCompositionMode(mode);
}

void MakeGrayscale(QImage& image) {
    if (image.isNull()) return;
    const std::vector<std::uint8_t> jpeg = EncodeJpeg(image);
    const QImage gray = DecodeJpeg(jpeg.data(), jpeg.size(), true);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, gray);
}

}  // namespace tolvenmark
