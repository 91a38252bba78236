#include "skin/skin_text.h"

#include <string>

#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

#include "skin/skin_painter.h"
#include "skin/system_colors.h"
#include "support/gui_app.h"

namespace tolvenmark {
namespace {

struct TextCase {
    const char* name;
    std::uint8_t charset;
    std::string bytes;
    const char16_t* shown;
};

class SkinTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(SkinTextTest, ReadInTheFontsCharset) {
    EXPECT_EQ(DecodeSkinText(GetParam().bytes, GetParam().charset), QString::fromUtf16(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Charsets, SkinTextTest,
    ::testing::Values(
        TextCase{"AsciiInAnySet", 128, "12:05 PM", u"12:05 PM"},
        TextCase{"Utf8WinsOverTheSet", 204, "Caf\xC3\xA9", u"Caf\u00E9"},
        TextCase{"AnsiIsWestern", 0, "\x80 caf\xE9", u"\u20AC caf\u00E9"},
        TextCase{"DefaultIsWestern", 1, "\x93quoted\x94", u"\u201Cquoted\u201D"},
        TextCase{"UnknownSetIsWestern", 77, "\xE9", u"\u00E9"},
        TextCase{"SymbolKeepsItsBytes", 2, "\x80\xE9", u"\u0080\u00E9"},
        TextCase{"ShiftJis", 128, "\x82\xA0\x8E\x9E", u"\u3042\u6642"},
        TextCase{"Korean", 129, "\xC7\xD1", u"\uD55C"},
        TextCase{"SimplifiedChinese", 134, "\xD6\xD0", u"\u4E2D"},
        TextCase{"TraditionalChinese", 136, "\xA4\xA4", u"\u4E2D"},
        TextCase{"Greek", 161, "\xE1\xE2", u"\u03B1\u03B2"},
        TextCase{"Turkish", 162, "\xFD\xF0", u"\u0131\u011F"},
        TextCase{"Hebrew", 177, "\xE0", u"\u05D0"},
        TextCase{"Arabic", 178, "\xC7", u"\u0627"},
        TextCase{"Baltic", 186, "\xE0", u"\u0105"},
        TextCase{"Cyrillic", 204, "\xCF\xF0\xE8", u"\u041F\u0440\u0438"},
        TextCase{"Thai", 222, "\xA1", u"\u0E01"},
        TextCase{"CentralEuropean", 238, "\x8A\xB9", u"\u0160\u0105"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ColourCase {
    const char* name;
    std::uint32_t value;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;  // NoRole: the value's own colour
    QRgb own;
};

class SystemColourTest : public ::testing::TestWithParam<ColourCase> {
protected:
    static void SetUpTestSuite() { testing::EnsureGuiApplication(); }
};

TEST_P(SystemColourTest, Palette) {
    const ColourCase& c = GetParam();
    const QColor expected = c.role == QPalette::NoRole ? QColor::fromRgb(c.own)
                                                       : QGuiApplication::palette().color(c.group, c.role);
    EXPECT_EQ(SkinQColor(c.value), expected);
    const SkinColor resolved = ResolveSkinColor(c.value);
    EXPECT_EQ(QColor(static_cast<int>(resolved & 0xFF), static_cast<int>(resolved >> 8 & 0xFF),
                     static_cast<int>(resolved >> 16 & 0xFF)),
              expected);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, SystemColourTest,
    ::testing::Values(
        ColourCase{"PlainRed", 0x000000FF, QPalette::Active, QPalette::NoRole, qRgb(255, 0, 0)},
        ColourCase{"HighByteOtherThan0x80IsIgnored", 0x020000FF, QPalette::Active, QPalette::NoRole, qRgb(255, 0, 0)},
        ColourCase{"Window", 0x80000005, QPalette::Active, QPalette::Base, 0},
        ColourCase{"WindowText", 0x80000008, QPalette::Active, QPalette::Text, 0},
        ColourCase{"ButtonFace", 0x8000000F, QPalette::Active, QPalette::Button, 0},
        ColourCase{"ButtonText", 0x80000012, QPalette::Active, QPalette::ButtonText, 0},
        ColourCase{"GreyText", 0x80000011, QPalette::Disabled, QPalette::Text, 0},
        ColourCase{"Highlight", 0x8000000D, QPalette::Active, QPalette::Highlight, 0},
        ColourCase{"TooltipBackground", 0x80000018, QPalette::Active, QPalette::ToolTipBase, 0},
        ColourCase{"UnusedIndexIsBlack", 0x80000019, QPalette::Active, QPalette::NoRole, qRgb(0, 0, 0)},
        ColourCase{"IndexBeyondTheTableIsBlack", 0x800000FF, QPalette::Active, QPalette::NoRole, qRgb(0, 0, 0)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tolvenmark
