#include "skin/skin_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/conversion_error.h"
#include "skin/skin_fields.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using ::testing::ElementsAreArray;

struct SplitCase {
    const char* name;
    std::string line;
    std::vector<std::string> fields;
};

class SplitSkinLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitSkinLineTest, SplitsIntoFields) {
    EXPECT_THAT(SplitSkinLine(GetParam().line, ','), ElementsAreArray(GetParam().fields));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitSkinLineTest,
    ::testing::Values(
        SplitCase{"EmptyFieldBetweenCommas", "a, ,b", {"a", "", "b"}},
        SplitCase{"TrailingCommaAddsNothing", "a,", {"a"}},
        SplitCase{"QuotedFieldKeepsComma", "\"x, y\",z", {"x, y", "z"}},
        SplitCase{"BlankBeforeCommaStays", "x ,y", {"x ", "y"}},
        SplitCase{"InnerBlanksStay", "EXIT, 462, 6, 28, 17, Exit Program",
                  {"EXIT", "462", "6", "28", "17", "Exit Program"}},
        SplitCase{"LeadingBlanksAndControlsSkipped", " \t\x01 a", {"a"}},
        SplitCase{"TabEndsFieldLikeComma", "a\tb", {"a", "b"}},
        SplitCase{"DoubledQuoteIsOne", "\"say \"\"hi\"\"\", z", {"say \"hi\"", "z"}},
        SplitCase{"UnclosedQuoteRunsToEnd", "\"open, field", {"open, field"}},
        SplitCase{"TextAfterClosingQuoteIsNextField", "\"ab\"cd,e", {"ab", "cd", "e"}},
        SplitCase{"EmptyQuotedField", "\"\",b", {"", "b"}},
        SplitCase{"EmptyLine", "", {}},
        SplitCase{"OnlyBlanks", "   ", {}},
        SplitCase{"LoneComma", ",", {""}},
        SplitCase{"TwoCommas", ",,", {"", ""}},
        SplitCase{"NulEndsTheLine", std::string("a,b\0,c", 6), {"a", "b"}},
        SplitCase{"HighBytesAreText", "caf\xC3\xA9, x", {"caf\xC3\xA9", "x"}},
        SplitCase{"BuiltInDateLine",
                  "DATE, Lucida Fax, FALSE, FALSE, 12, $000000FF, 320, 150, Normal, \"September 30, 2003\", , 120, 25",
                  {"DATE", "Lucida Fax", "FALSE", "FALSE", "12", "$000000FF", "320", "150", "Normal",
                   "September 30, 2003", "", "120", "25"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SkinFieldTest, MissingPositionNamesTheIndex) {
    const SkinFields fields{"ID", "1"};
    EXPECT_EQ(SkinField(fields, 1), "1");
    try {
        SkinField(fields, 5);
        FAIL() << "no error";
    } catch (const OperationError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (5)");
    }
    EXPECT_EQ(OptionalSkinField(fields, 5), "");
}

TEST(SkinFieldTest, IntegerFieldsAreStrict) {
    struct Case {
        std::string text;
        bool valid;
        std::int32_t value;
    };
    const Case cases[] = {
        {"462", true, 462},      {"  -7", true, -7},       {"$000000FF", true, 255},
        {"0x1F", true, 31},      {"462 ", false, 0},       {"4x", false, 0},
        {"", false, 0},          {"2147483648", false, 0}, {"1.5", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("field '" + c.text + "'");
        const SkinFields fields{"ID", c.text};
        if (c.valid) {
            EXPECT_EQ(SkinIntField(fields, 1), c.value);
        } else {
            try {
                SkinIntField(fields, 1);
                ADD_FAILURE() << "accepted";
            } catch (const ConversionError& e) {
                EXPECT_EQ(std::string(e.what()), "'" + c.text + "' is not a valid integer value");
            }
        }
    }
}

TEST(SkinFieldTest, LenientIntegersReadHexAndFallBack) {
    const auto ini = ProfileSnapshot::FromText(
        "[Version]\nVer=0x00D9\n[DISPLAYINFO]\nCharset=0X10\nCount=abc\n"
        "[HOTAREAINFO]\nCount=-5\n[TRACKBARINFO]\nCount=2000000000\n[X]\nA=$20\nB= 12 \n");
    EXPECT_EQ(ReadSkinInteger(ini, "VERSION", "Ver", 0), 217);
    EXPECT_EQ(ReadSkinInteger(ini, "DISPLAYINFO", "Charset", 1), 16);
    EXPECT_EQ(ReadSkinInteger(ini, "DISPLAYINFO", "Count", 0), 0);
    EXPECT_EQ(ReadSkinInteger(ini, "DISPLAYINFO", "Missing", 7), 7);
    EXPECT_EQ(ReadSkinInteger(ini, "X", "A", 0), 32);
    EXPECT_EQ(ReadSkinInteger(ini, "X", "B", 0), 12);  // the reader trims the value
    // Counts: negative reads nothing, a hostile one is capped.
    EXPECT_EQ(ReadSkinCount(ini, "HOTAREAINFO"), 0u);
    EXPECT_EQ(ReadSkinCount(ini, "TRACKBARINFO"), static_cast<std::size_t>(kMaxSkinLines));
}

TEST(SkinFieldTest, ValuesHoldAtMost2047Characters) {
    const auto ini = ProfileSnapshot::FromText("[HOTAREAINFO]\n1=" + std::string(3000, 'a') + "\n");
    EXPECT_EQ(ReadSkinString(ini, "HOTAREAINFO", "1", "").size(), 2047u);
}

}  // namespace
}  // namespace tolvenmark
