#include "bin/bin_line.h"

#include <algorithm>

#include "platform/conversion_error.h"

namespace tolvenmark {

BinFields SplitBinLine(std::string_view line) {
    BinFields fields;
    std::size_t start = 0;
    for (auto& field : fields) {
        if (start > line.size()) break;
        const std::size_t caret = line.find('^', start);
        if (caret == std::string_view::npos) {
            field.assign(line.substr(start));
            break;
        }
        field.assign(line.substr(start, caret - start));
        start = caret + 1;
    }
    return fields;
}

std::string FormatBinLine(const std::string& field1, const std::string& field2,
                          const std::string& field3) {
    std::string line;
    line.reserve(field1.size() + field2.size() + field3.size() + 3);
    line.append(field1).push_back('^');
    line.append(field2).push_back('^');
    line.append(field3).push_back('^');
    return line;
}

std::vector<std::string> ReadBinLines(std::string_view content, std::size_t maxLine,
                                      std::vector<std::size_t>* longLines) {
    std::vector<std::string> lines;
    std::size_t i = 0;
    std::size_t lineNumber = 1;
    const std::size_t n = content.size();
    auto isBreak = [&](std::size_t at) {
        return content[at] == '\n' || (content[at] == '\r' && (at + 1 >= n || content[at + 1] != '\n'));
    };
    while (true) {
        for (; i < n && static_cast<unsigned char>(content[i]) <= 32 && content[i] != kBinEndOfFile; ++i)
            if (isBreak(i)) ++lineNumber;
        if (i >= n || content[i] == kBinEndOfFile) break;
        const std::size_t start = i;
        while (i < n && content[i] != '\r' && content[i] != '\n' && content[i] != kBinEndOfFile) ++i;
        if (i - start > maxLine && longLines) longLines->push_back(lineNumber);
        lines.emplace_back(content.substr(start, std::min(i - start, maxLine)));
        if (i < n && content[i] == '\r') {
            ++i;
            if (i < n && content[i] == '\n') ++i;
            ++lineNumber;
        } else if (i < n && content[i] == '\n') {
            ++i;
            ++lineNumber;
        }
    }
    return lines;
}

void CheckBinField(const std::string& text) {
    for (char ch : text) {
        if (ch == '^') throw OperationError("A caret (^) cannot be stored in the storage bin.");
        if (ch == '\r' || ch == '\n')
            throw OperationError("A line break cannot be stored in the storage bin.");
        if (ch == kBinEndOfFile)
            throw OperationError("A Ctrl-Z character cannot be stored in the storage bin.");
    }
}

}  // namespace tolvenmark
