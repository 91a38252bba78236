#include "skin/mask_region.h"

#include <algorithm>
#include <cstring>

namespace tolvenmark {

namespace {

struct ChannelRange {
    int low[3];   // red, green, blue
    int high[3];

    ChannelRange(SkinColor key, SkinColor tolerance) {
        key = ResolveSkinColor(key);
        tolerance = ResolveSkinColor(tolerance);
        for (int c = 0; c < 3; ++c) {
            int k = static_cast<int>((key >> (8 * c)) & 0xFF);
            int t = static_cast<int>((tolerance >> (8 * c)) & 0xFF);
            low[c] = k;
            high[c] = std::min(255, k + t);
        }
    }

    bool Transparent(QRgb pixel) const {
        int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
        return r >= low[0] && r <= high[0] && g >= low[1] && g <= high[1] && b >= low[2] &&
               b <= high[2];
    }
};

// The runs of one row: x0 and x1 of each, through onRun.
template <typename Transparent, typename OnRun>
void RowRuns(int width, int y, Transparent&& transparent, OnRun&& onRun) {
    int x = 0;
    while (x < width) {
        while (x < width && transparent(x)) ++x;
        if (x == width) break;
        const int x0 = x;
        while (x < width && !transparent(x)) ++x;
        onRun(QRect(x0, y, x - x0, 1));
    }
}

// Calls onRun(QRect) for every run, in region (Y, then X) order.
template <typename OnRun>
void ForEachRun(const QImage& mask, SkinColor keyColor, SkinColor tolerance, OnRun&& onRun) {
    if (mask.isNull()) return;
    // Only red, green and blue count, as in a 32-bit copy of the mask.
    const ChannelRange range(keyColor, tolerance);
    const int width = mask.width();
    const QList<QRgb> table = mask.colorTable();
    // A compact mask is read through its table, each colour judged once; an
    // index past the table reads as black, as in such a copy.
    const bool bits = mask.format() == QImage::Format_Mono && table.size() == 2;
    if (bits || (mask.format() == QImage::Format_Indexed8 && !table.isEmpty())) {
        bool clear[256];
        for (int i = 0; i < 256; ++i) clear[i] = range.Transparent(i < table.size() ? table[i] : 0xff000000);
        for (int y = 0; y < mask.height(); ++y) {
            const uchar* row = mask.constScanLine(y);
            if (bits)
                RowRuns(width, y, [&](int x) { return clear[(row[x >> 3] >> (7 - (x & 7))) & 1]; }, onRun);
            else
                RowRuns(width, y, [&](int x) { return clear[row[x]]; }, onRun);
        }
        return;
    }
    const bool whole = mask.format() == QImage::Format_RGB32;
    QImage line;
    for (int y = 0; y < mask.height(); ++y) {
        if (!whole) line = mask.copy(0, y, width, 1).convertToFormat(QImage::Format_RGB32);
        const QRgb* row = reinterpret_cast<const QRgb*>(whole ? mask.constScanLine(y) : line.constScanLine(0));
        RowRuns(width, y, [&](int x) { return range.Transparent(row[x]); }, onRun);
    }
}

}  // namespace

std::size_t CountMaskRuns(const QImage& mask, SkinColor keyColor, SkinColor tolerance) {
    std::size_t count = 0;
    ForEachRun(mask, keyColor, tolerance, [&](const QRect&) { ++count; });
    return count;
}

QImage MaskBitmap(const QImage& mask, SkinColor keyColor, SkinColor tolerance) {
    if (mask.isNull()) return {};
    QImage bits(mask.size(), QImage::Format_MonoLSB);
    if (bits.isNull()) return {};
    bits.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    bits.fill(0);
    ForEachRun(mask, keyColor, tolerance, [&](const QRect& r) {
        uchar* line = bits.scanLine(r.y());
        for (int x = r.left(); x <= r.right(); ++x) line[x >> 3] |= static_cast<uchar>(1u << (x & 7));
    });
    return bits;
}

QImage MaskAlpha(const QImage& mask, SkinColor keyColor, SkinColor tolerance) {
    if (mask.isNull()) return {};
    QImage alpha(mask.size(), QImage::Format_Alpha8);
    if (alpha.isNull()) return {};
    alpha.fill(0);
    ForEachRun(mask, keyColor, tolerance, [&](const QRect& r) {
        std::memset(alpha.scanLine(r.y()) + r.left(), 0xFF, static_cast<std::size_t>(r.width()));
    });
    return alpha;
}

std::vector<QRect> MaskRuns(const QImage& mask, SkinColor keyColor, SkinColor tolerance) {
    std::vector<QRect> runs;
    ForEachRun(mask, keyColor, tolerance, [&](const QRect& r) { runs.push_back(r); });
    return runs;
}

QRegion MaskToRegion(const QImage& mask, SkinColor keyColor, SkinColor tolerance) {
    QRegion result;
    std::vector<QRect> batch;
    batch.reserve(kMaskRegionBatch);
    auto flush = [&] {
        if (batch.empty()) return;
        // The runs are Y-X sorted, disjoint and never abut within a row, which
        // is what setRects expects; a batch that starts below the result's
        // last band is appended by the union without a merge pass.
        QRegion part;
        part.setRects(batch.data(), static_cast<int>(batch.size()));
        result += part;
        batch.clear();
    };
    ForEachRun(mask, keyColor, tolerance, [&](const QRect& r) {
        batch.push_back(r);
        if (static_cast<int>(batch.size()) == kMaskRegionBatch) flush();
    });
    flush();
    return result;
}

}  // namespace tolvenmark
