// Whole storage bin files through the reader: every line splits into three
// fields that a rewrite stores and a reader gives back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bin/bin_files.h"
#include "bin/bin_line.h"

using namespace tolvenmark;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = ReadBinLines(content);

    // The capped reading keeps every line, cut; the long ones are named in file order.
    std::vector<std::size_t> longLines;
    const std::vector<std::string> capped = ReadBinLines(content, kMaxBinLineBytes, &longLines);
    if (capped.size() != lines.size()) std::abort();
    std::size_t cut = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (capped[i] != lines[i].substr(0, kMaxBinLineBytes)) std::abort();
        if (lines[i].size() > kMaxBinLineBytes) ++cut;
    }
    if (longLines.size() != cut) std::abort();
    for (std::size_t i = 0; i < longLines.size(); ++i)
        if (longLines[i] == 0 || (i > 0 && longLines[i] <= longLines[i - 1])) std::abort();

    std::string rewritten;
    std::vector<BinFields> rows;
    for (const std::string& line : lines) {
        if (line.empty() || static_cast<unsigned char>(line.front()) <= 32) std::abort();
        BinFields fields = SplitBinLine(line);
        for (const std::string& field : fields) {
            if (field.size() > line.size()) std::abort();
            CheckBinField(field);  // throws (and so crashes the fuzzer) if a field would not read back
        }
        rewritten += FormatBinLine(fields[0], fields[1], fields[2]) + kBinLineEnd;
        rows.push_back(std::move(fields));
    }

    const std::vector<std::string> again = ReadBinLines(rewritten);
    if (again.size() != rows.size()) std::abort();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (SplitBinLine(again[i]) != rows[i]) std::abort();
    return 0;
}
