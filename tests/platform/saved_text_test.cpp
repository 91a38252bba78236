#include <iconv.h>

#include <QLineEdit>
#include <QTableWidgetItem>
#include <gtest/gtest.h>

#include "platform/saved_text.h"
#include "support/gui_app.h"

namespace tolvenmark {
namespace {

// The C library's own Windows-1252 table; the five bytes it leaves unassigned
// keep their own code.
QString Cp1252(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-16LE", "CP1252");
    char in[1] = {static_cast<char>(byte)};
    char16_t out[2] = {};
    char *from = in, *to = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1, outLeft = sizeof out;
    const bool known = iconv(cd, &from, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    return QString(QChar(known ? out[0] : char16_t{byte}));
}

class HighByteTest : public ::testing::TestWithParam<int> {};

// A lone high byte never makes valid UTF-8, so each line is Western.
TEST_P(HighByteTest, ReadsAsWindows1252AndWritesTheSameByte) {
    testing::EnsureGuiApplication();
    const char byte = static_cast<char>(GetParam());
    const std::string line = std::string("a") + byte + "z";
    const QString character = Cp1252(static_cast<unsigned char>(byte));
    ASSERT_EQ(LineEncoding(line), TextEncoding::Western);
    EXPECT_EQ(DecodeText(line, TextEncoding::Western), "a" + character + "z");
    EXPECT_EQ(EncodeText(character, TextEncoding::Western), std::string(1, byte));

    QLineEdit edit;
    ShowSavedText(edit, line);
    EXPECT_EQ(SavedText(edit), line);
    QTableWidgetItem cell;
    ShowSavedText(cell, line, TextEncoding::Western);
    EXPECT_EQ(SavedText(cell), line);
    // Typed into the cell: saved as the line's code page has it.
    cell.setText("b" + character + "z");
    EXPECT_EQ(SavedText(cell), std::string("b") + byte + "z");
}

INSTANTIATE_TEST_SUITE_P(AllHighBytes, HighByteTest, ::testing::Range(0x80, 0x100));

}  // namespace
}  // namespace tolvenmark
