#include "skin/skin_painter.h"

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <mutex>

#include <QFontMetrics>

#include "skin/face_parking.h"
#include "skin/jpeg_codec.h"
#include "skin/skin_text.h"
#include "skin/system_colors.h"

namespace tolvenmark {

namespace {

// Beyond any face size; keeps a damaged skin from asking for giant glyphs.
constexpr std::int64_t kMaxFontPixels = 2048;
// A text of the longest value at the largest size is narrower than this.
constexpr std::int32_t kFarLeft = 2048 * kMaxFontPixels * 2;

QImage::Format PaintFormat(const QImage& image) {
    return image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
}

// The mask is read only for the window's outline, colour by colour. One with
// few colours (a mask has two) is held with a colour table of exactly those,
// at a bit or a byte a pixel; it reads back the same. Written out here: the
// toolkit's conversion to a given table looks up each pixel's nearest colour
// and took longer than decoding the skin.
void CompactMask(QImage& mask) {
    if (mask.isNull() || mask.depth() <= 8) return;
    const QImage rgb = mask.format() == QImage::Format_RGB32 ? mask : mask.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull()) return;
    const int width = rgb.width();
    const int height = rgb.height();
    QList<QRgb> colours;
    for (int y = 0; y < height; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (!colours.isEmpty() && colours.back() == row[x]) continue;
            if (colours.contains(row[x])) continue;
            if (colours.size() == 256) return;
            colours.push_back(row[x]);
        }
    }
    if (colours.size() == 1) colours.push_back(colours.front());
    const bool bits = colours.size() <= 2;
    QImage compact(rgb.size(), bits ? QImage::Format_Mono : QImage::Format_Indexed8);
    if (compact.isNull()) return;
    compact.setColorTable(colours);
    QRgb last = colours.front();
    int lastIndex = 0;
    for (int y = 0; y < height; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* out = compact.scanLine(y);
        if (bits) std::memset(out, 0, static_cast<std::size_t>(compact.bytesPerLine()));
        for (int x = 0; x < width; ++x) {
            if (row[x] != last) {
                last = row[x];
                lastIndex = static_cast<int>(colours.indexOf(last));
            }
            if (!bits)
                out[x] = static_cast<uchar>(lastIndex);
            else if (lastIndex)
                out[x >> 3] = static_cast<uchar>(out[x >> 3] | (0x80 >> (x & 7)));
        }
    }
    mask = compact;
}

// Copies one rectangle of source to the same place; parts outside the source
// are skipped. Edges are summed in 64 bits: a damaged skin may put an area
// anywhere in the 32-bit range.
void CopyRect(QPainter& painter, const QImage& source, std::int64_t x, std::int64_t y, std::int64_t width,
              std::int64_t height) {
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(x + width, source.width());
    const std::int64_t bottom = std::min<std::int64_t>(y + height, source.height());
    if (left >= right || top >= bottom) return;
    const QRect area(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                     static_cast<int>(bottom - top));
    painter.drawImage(area.topLeft(), source, area);
}

// Whether an image of size w x h at (x, y) reaches into the face.
bool ReachesFace(const QSize& face, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
    return x < face.width() && y < face.height() && x + w > 0 && y + h > 0;
}

// A face painted whole fills the painter's device; a part of it says its size.
QSize FaceSize(const QPainter& painter, const QSize& given) {
    return given.isValid() ? given : QSize(painter.device()->width(), painter.device()->height());
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

}  // namespace

void PrepareImageForPainting(QImage& image) {
    if (image.isNull()) return;
    const QImage::Format target = PaintFormat(image);
    if (image.format() != target) image.convertTo(target);
}

void PrepareForPainting(Skin& skin) {
    // Faces that share their pixels keep sharing them.
    const bool upIsDown = skin.UpImage.cacheKey() == skin.DownImage.cacheKey();
    const bool onIsDown = skin.OnImage.cacheKey() == skin.DownImage.cacheKey();
    const bool maskIsUp = skin.MaskImage.cacheKey() == skin.UpImage.cacheKey();
    const bool maskIsDown = skin.MaskImage.cacheKey() == skin.DownImage.cacheKey();
    PrepareImageForPainting(skin.DownImage);
    if (upIsDown) skin.UpImage = skin.DownImage; else PrepareImageForPainting(skin.UpImage);
    if (onIsDown) skin.OnImage = skin.DownImage; else PrepareImageForPainting(skin.OnImage);
    if (maskIsUp)
        skin.MaskImage = skin.UpImage;
    else if (maskIsDown)
        skin.MaskImage = skin.DownImage;
    else
        CompactMask(skin.MaskImage);
    PrepareImageForPainting(skin.NumbersImage);
    PrepareImageForPainting(skin.TextImage);
    for (TrackBarInfoRec& bar : skin.TrackBars) {
        PrepareImageForPainting(bar.ThumbBitmap);
        PrepareImageForPainting(bar.ThumbDownBitmap);
    }
}

namespace {

// Everything above the up face, in the order of a whole composition.
void ComposeLayers(QPainter& painter, const Skin& skin, int activeTrackBar, const QSize& faceSize,
                   const QRect* area, const std::vector<QRect>* itemAreas) {
    for (const HotAreaInfoRec& hot : skin.HotAreas) {
        if ((hot.HasState && hot.State) || hot.Pressed)
            CopyRect(painter, skin.DownImage, hot.X, hot.Y, hot.Width, hot.Height);
        // A held button shows its down face even under the pointer.
        if (hot.Hover && !hot.Pressed) CopyRect(painter, skin.OnImage, hot.X, hot.Y, hot.Width, hot.Height);
    }

    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (std::size_t i = 0; i < skin.TrackBars.size(); ++i) {
        const TrackBarInfoRec& bar = skin.TrackBars[i];
        const QImage& thumb =
            static_cast<int>(i) == activeTrackBar ? bar.ThumbDownBitmap : bar.ThumbBitmap;
        const std::int64_t x = bar.Horizontal ? std::int64_t{bar.X} + bar.Offset : bar.X;
        const std::int64_t y = bar.Horizontal ? bar.Y : std::int64_t{bar.Y} + bar.Offset;
        if (ReachesFace(faceSize, x, y, thumb.width(), thumb.height()))
            painter.drawImage(static_cast<int>(x), static_cast<int>(y), thumb);
    }

    const bool measured = itemAreas && itemAreas->size() == skin.DisplayItems.size();
    for (std::size_t i = 0; i < skin.DisplayItems.size(); ++i) {
        const DisplayInfoRec& item = skin.DisplayItems[i];
        if (area && !(measured ? (*itemAreas)[i] : DisplayItemArea(skin, item, faceSize)).intersects(*area))
            continue;
        if (item.Style == "Number")
            DrawNumberGlyphs(painter, skin.NumbersImage, item.X, item.Y, item.Text, faceSize);
        else if (item.Style == "Text")
            DrawTextGlyphs(painter, skin.TextImage, item.X, item.Y, item.Text, faceSize);
        else
            DrawFontText(painter, item, faceSize);
    }
}

// A row of glyph cells of w x h from (x, y), cut to the face.
QRect GlyphRowArea(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, std::size_t count,
                   const QSize& faceSize) {
    if (w <= 0 || h <= 0 || count == 0) return {};
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(x + w * static_cast<std::int64_t>(count), faceSize.width());
    const std::int64_t bottom = std::min<std::int64_t>(y + h, faceSize.height());
    if (left >= right || top >= bottom) return {};
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                 static_cast<int>(bottom - top));
}

}  // namespace

void ComposeFace(const Skin& skin, int activeTrackBar, QImage& face) {
    if (face.isNull()) return;
    QPainter painter(&face);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (!skin.UpImage.rect().contains(face.rect())) face.fill(Qt::black);
    painter.drawImage(0, 0, skin.UpImage);
    ComposeLayers(painter, skin, activeTrackBar, face.size(), nullptr, nullptr);
}

QImage ComposeFacePart(const Skin& skin, int activeTrackBar, const QSize& faceSize, const QRect& area,
                       const std::vector<QRect>* itemAreas) {
    const QRect clip = area & QRect(QPoint(0, 0), faceSize);
    if (clip.isEmpty()) return {};
    QImage part(clip.size(), QImage::Format_RGB32);
    if (part.isNull()) return {};
    QPainter painter(&part);
    // Whole pixels only: every text lands on the same pixels as in the whole face.
    painter.translate(-clip.topLeft());
    painter.setClipRect(clip);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (skin.UpParked) {
        // Callers unpark first where the pieces fall short.
        if (!UpFaceCovers(skin, clip)) painter.fillRect(clip, Qt::black);
        for (const QImage& piece : skin.UpPieces) {
            const QRect inside = clip & QRect(piece.offset(), piece.size());
            if (!inside.isEmpty()) painter.drawImage(inside.topLeft(), piece, inside.translated(-piece.offset()));
        }
    } else {
        if (!skin.UpImage.rect().contains(clip)) painter.fillRect(clip, Qt::black);
        CopyRect(painter, skin.UpImage, clip.x(), clip.y(), clip.width(), clip.height());
    }
    ComposeLayers(painter, skin, activeTrackBar, faceSize, &clip, itemAreas);
    return part;
}

void ComposeFaceArea(const Skin& skin, int activeTrackBar, QImage& face, const QRect& area,
                     const std::vector<QRect>* itemAreas) {
    const QImage part = ComposeFacePart(skin, activeTrackBar, face.size(), area, itemAreas);
    if (part.isNull()) return;
    QPainter painter(&face);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage((area & face.rect()).topLeft(), part);
}

QString ShownFontText(const DisplayInfoRec& item, const QFontMetrics& metrics) {
    const QString text = DecodeSkinText(item.Text, item.Font.Charset);
    if (!item.Elide || item.Width <= 0) return text;
    return metrics.elidedText(text, Qt::ElideRight, item.Width);
}

QRect DisplayItemArea(const Skin& skin, const DisplayInfoRec& item, const QSize& faceSize) {
    if (item.Style == "Number") {
        const QImage& strip = skin.NumbersImage;
        return GlyphRowArea(item.X, item.Y, strip.width() / 11, strip.height(), item.Text.size(), faceSize);
    }
    if (item.Style == "Text") {
        const QImage& sheet = skin.TextImage;
        return GlyphRowArea(item.X, item.Y, sheet.width() / 30, sheet.height() / 3, item.Text.size(), faceSize);
    }
    if (item.Text.empty() || item.X >= faceSize.width() || item.Y >= faceSize.height() || item.X < -kFarLeft)
        return {};
    const QFont font = DisplayQFont(item.Font);
    const QFontMetrics metrics(font);
    const QString text = ShownFontText(item, metrics);
    const QRect ink = metrics.boundingRect(text);
    // Ink boxes leave out anti-aliased edges and a synthesised slant or weight.
    const std::int64_t margin = 2 + font.pixelSize() / 4;
    const std::int64_t baseline = std::int64_t{item.Y} + metrics.ascent();
    const std::int64_t left = std::int64_t{item.X} + std::min(0, ink.left()) - margin;
    const std::int64_t right =
        std::int64_t{item.X} + std::max<std::int64_t>(metrics.horizontalAdvance(text), ink.right() + 1) + margin;
    const std::int64_t top = baseline + std::min(-metrics.ascent(), ink.top()) - margin;
    const std::int64_t bottom = baseline + std::max(metrics.descent(), ink.bottom() + 1) + margin;
    return GlyphRowArea(left, top, right - left, bottom - top, 1, faceSize);
}

void DrawNumberGlyphs(QPainter& painter, const QImage& strip, int x, int y, const std::string& text,
                      const QSize& faceSize) {
    const QSize face = FaceSize(painter, faceSize);
    const int w = strip.width() / 11;
    const int h = strip.height();
    if (w <= 0 || h <= 0) return;
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const std::size_t glyphCount = std::strlen(kNumberGlyphs);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::int64_t left = x + static_cast<std::int64_t>(i) * w;
        if (!ReachesFace(face, left, y, w, h)) {
            if (left >= face.width()) break;  // the rest lies further right
            continue;
        }
        const void* found = std::memchr(kNumberGlyphs, static_cast<unsigned char>(text[i]), glyphCount);
        const int g = found ? static_cast<int>(static_cast<const char*>(found) - kNumberGlyphs) : 0;
        painter.drawImage(QPoint(static_cast<int>(left), y), strip, QRect(g * w, 0, w, h));
    }
    painter.setCompositionMode(mode);
}

void DrawTextGlyphs(QPainter& painter, const QImage& sheet, int x, int y, const std::string& text,
                    const QSize& faceSize) {
    const QSize face = FaceSize(painter, faceSize);
    const int w = sheet.width() / 30;
    const int rh = sheet.height() / 3;
    if (w <= 0 || rh <= 0) return;
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::int64_t left = x + static_cast<std::int64_t>(i) * w;
        if (!ReachesFace(face, left, y, w, rh)) {
            if (left >= face.width()) break;
            continue;
        }
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
        painter.drawImage(QPoint(static_cast<int>(left), y), sheet, QRect(column * w, row * rh, w, rh));
    }
    painter.setCompositionMode(mode);
}

QColor SkinQColor(std::uint32_t color) {
    const SkinColor bgr = ResolveSkinColor(color);
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

int DisplayFontPixels(const DisplayFont& font) {
    // Points at 96 dpi, rounded like the platform's own conversion. Neither
    // the default size nor a height may vanish.
    const std::int64_t points = font.Size == 0 ? 8 : std::abs(static_cast<std::int64_t>(font.Size));
    const std::int64_t pixels = (points * 96 + 36) / 72;
    return static_cast<int>(std::clamp<std::int64_t>(pixels, 1, kMaxFontPixels));
}

QFont DisplayQFont(const DisplayFont& font) {
    InstallFontSubstitutes();
    QFont result(QString::fromStdString(font.Name));
    result.setPixelSize(DisplayFontPixels(font));
    result.setBold(font.Bold);
    result.setItalic(font.Italic);
    return result;
}

void DrawFontText(QPainter& painter, const DisplayInfoRec& item, const QSize& faceSize) {
    if (item.Text.empty()) return;
    // Text never starts right of or below the face; how far left it may
    // start and still show depends on its width, so only the absurd is cut.
    const QSize face = FaceSize(painter, faceSize);
    if (item.X >= face.width() || item.Y >= face.height() || item.X < -kFarLeft) return;
    const QFont font = DisplayQFont(item.Font);
    const QFontMetrics metrics(font);
    const std::int64_t baseline = std::int64_t{item.Y} + metrics.ascent();
    if (baseline + metrics.descent() < 0) return;
    painter.setFont(font);
    painter.setPen(SkinQColor(item.Font.Color));
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawText(QPoint(item.X, static_cast<int>(baseline)), ShownFontText(item, metrics));
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
