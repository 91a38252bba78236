#include "skin/window_shape.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/shape.h>
#include <xcb/xcb.h>

namespace tolvenmark {

namespace {

// Well below the smallest request limit of the protocol (256 KB).
constexpr std::size_t kRequestBytes = 64 * 1024;

// How the server wants a bitmap's rows laid out.
struct BitmapLayout {
    unsigned unitBits;      // scanline unit: 8, 16 or 32
    unsigned padBits;       // each row ends on a multiple of this
    bool lsbBitFirst;       // pixel 0 in the unit's lowest bit
    bool lsbByteFirst;      // the unit's bytes lowest first

    std::size_t RowBytes(int width) const {
        return (static_cast<std::size_t>(width) + padBits - 1) / padBits * (padBits / 8);
    }

    // One row of outline, set bits where the window is, into out.
    void PackRow(const uchar* bits, int width, std::uint8_t* out) const {
        const std::size_t unitBytes = unitBits / 8;
        const std::size_t units = RowBytes(width) / unitBytes;
        for (std::size_t u = 0; u < units; ++u) {
            std::uint32_t value = 0;
            for (unsigned b = 0; b < unitBits; ++b) {
                const std::size_t x = u * unitBits + b;
                if (x >= static_cast<std::size_t>(width) || !((bits[x >> 3] >> (x & 7)) & 1)) continue;
                value |= 1u << (lsbBitFirst ? b : unitBits - 1 - b);
            }
            for (std::size_t k = 0; k < unitBytes; ++k)
                out[u * unitBytes + k] =
                    static_cast<std::uint8_t>(value >> (8 * (lsbByteFirst ? k : unitBytes - 1 - k)));
        }
    }
};

}  // namespace

bool ShapeX11WindowWithBitmap(QWidget* top, const QImage& outline, QPoint offset) {
    // The offscreen platform answers as X11 too, without a connection.
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb") || outline.isNull()) return false;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return false;
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const BitmapLayout layout{setup->bitmap_format_scanline_unit, setup->bitmap_format_scanline_pad,
                              setup->bitmap_format_bit_order == XCB_IMAGE_ORDER_LSB_FIRST,
                              setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST};
    const auto window = static_cast<xcb_window_t>(top->winId());
    const int width = outline.width();
    const int height = outline.height();

    const xcb_pixmap_t pixmap = xcb_generate_id(connection);
    xcb_create_pixmap(connection, 1, pixmap, window, static_cast<std::uint16_t>(width),
                      static_cast<std::uint16_t>(height));
    const xcb_gcontext_t gc = xcb_generate_id(connection);
    xcb_create_gc(connection, gc, pixmap, 0, nullptr);

    const std::size_t rowBytes = layout.RowBytes(width);
    const int rowsPerRequest = static_cast<int>(std::max<std::size_t>(1, kRequestBytes / rowBytes));
    std::vector<std::uint8_t> chunk(rowBytes * static_cast<std::size_t>(rowsPerRequest));
    for (int y = 0; y < height; y += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, height - y);
        for (int r = 0; r < rows; ++r) layout.PackRow(outline.constScanLine(y + r), width, chunk.data() + rowBytes * r);
        xcb_put_image(connection, XCB_IMAGE_FORMAT_XY_PIXMAP, pixmap, gc, static_cast<std::uint16_t>(width),
                      static_cast<std::uint16_t>(rows), 0, static_cast<std::int16_t>(y), 0, 1,
                      static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(rows)), chunk.data());
    }
    xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, window, static_cast<std::int16_t>(offset.x()),
                   static_cast<std::int16_t>(offset.y()), pixmap);
    xcb_free_gc(connection, gc);
    xcb_free_pixmap(connection, pixmap);
    xcb_flush(connection);
    return true;
}

}  // namespace tolvenmark
