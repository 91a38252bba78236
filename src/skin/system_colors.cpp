#include "skin/system_colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace tolvenmark {

namespace {

struct PaletteEntry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The platform's system colour indexes, each taken from the palette role that
// paints the same part of a window here.
bool SystemColorEntry(unsigned index, PaletteEntry& entry) {
    constexpr auto A = QPalette::Active;
    constexpr auto I = QPalette::Inactive;
    constexpr auto D = QPalette::Disabled;
    static const PaletteEntry kEntries[] = {
        {A, QPalette::Button},           // 0 scroll bar
        {A, QPalette::Dark},             // 1 desktop
        {A, QPalette::Highlight},        // 2 active caption
        {I, QPalette::Highlight},        // 3 inactive caption
        {A, QPalette::Window},           // 4 menu
        {A, QPalette::Base},             // 5 window
        {A, QPalette::Shadow},           // 6 window frame
        {A, QPalette::WindowText},       // 7 menu text
        {A, QPalette::Text},             // 8 window text
        {A, QPalette::HighlightedText},  // 9 caption text
        {A, QPalette::Button},           // 10 active border
        {I, QPalette::Button},           // 11 inactive border
        {A, QPalette::Dark},             // 12 application workspace
        {A, QPalette::Highlight},        // 13 highlight
        {A, QPalette::HighlightedText},  // 14 highlight text
        {A, QPalette::Button},           // 15 button face
        {A, QPalette::Dark},             // 16 button shadow
        {D, QPalette::Text},             // 17 grey text
        {A, QPalette::ButtonText},       // 18 button text
        {I, QPalette::HighlightedText},  // 19 inactive caption text
        {A, QPalette::Light},            // 20 button highlight
        {A, QPalette::Shadow},           // 21 3-D dark shadow
        {A, QPalette::Midlight},         // 22 3-D light
        {A, QPalette::ToolTipText},      // 23 tooltip text
        {A, QPalette::ToolTipBase},      // 24 tooltip background
        {A, QPalette::NoRole},           // 25 not used
        {A, QPalette::Link},             // 26 hot-tracked item
        {A, QPalette::Highlight},        // 27 active caption gradient
        {I, QPalette::Highlight},        // 28 inactive caption gradient
        {A, QPalette::Highlight},        // 29 menu highlight
        {A, QPalette::Window},           // 30 menu bar
    };
    if (index >= std::size(kEntries) || kEntries[index].role == QPalette::NoRole) return false;
    entry = kEntries[index];
    return true;
}

}  // namespace

SkinColor ResolveSkinColor(SkinColor color) {
    if (!IsSystemColor(color)) return color & 0x00FFFFFFu;
    PaletteEntry entry{};
    if (!SystemColorEntry(color & 0xFFu, entry)) return 0;
    const QColor c = QGuiApplication::palette().color(entry.group, entry.role);
    return static_cast<SkinColor>(c.red()) | static_cast<SkinColor>(c.green()) << 8 |
           static_cast<SkinColor>(c.blue()) << 16;
}

}  // namespace tolvenmark
