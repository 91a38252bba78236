#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tolvenmark {

// One storage bin line: three fields, each followed by a caret.
using BinFields = std::array<std::string, 3>;

// Fields are the texts before the first, second and third caret; text after
// the third caret is ignored. A line with fewer carets still gives three
// fields: the last present field runs to the end of the line, the missing
// ones are empty (so a hand-edited line without its final caret survives).
BinFields SplitBinLine(std::string_view line);

// field1 ^ field2 ^ field3 ^, without a line end.
std::string FormatBinLine(const std::string& field1, const std::string& field2,
                          const std::string& field3);

inline constexpr const char* kBinLineEnd = "\r\n";
inline constexpr char kBinEndOfFile = '\x1A';  // Ctrl-Z

// Longer lines are no entry anyone wrote: a header drawn every second must
// stay small whatever the file holds.
inline constexpr std::size_t kMaxBinLineBytes = 4096;

// The reader rules: characters of code 32 or less before a line are skipped
// (so blank lines vanish and the first field loses its leading blanks); a
// line runs to CR (one LF after it is skipped) or LF; Ctrl-Z ends the file.
// A line over maxLine bytes is cut there, and its number in the file (from
// 1, blank lines counted) goes to longLines when given.
std::vector<std::string> ReadBinLines(std::string_view content, std::size_t maxLine = std::string_view::npos,
                                      std::vector<std::size_t>* longLines = nullptr);

// Throws OperationError when the text would not come back as one field: a
// caret would move the field split, a line break would split the line and a
// Ctrl-Z would hide the rest of the file from every reader.
void CheckBinField(const std::string& text);

}  // namespace tolvenmark
