#include "skin/skin_line.h"

namespace tolvenmark {

namespace {

// The line is read as the original's null-terminated text: a NUL ends it.
unsigned char At(const std::string& text, std::size_t pos) {
    return pos < text.size() ? static_cast<unsigned char>(text[pos]) : 0;
}

bool IsSkippable(unsigned char c) { return c >= 1 && c <= 32; }

}  // namespace

std::vector<std::string> SplitSkinLine(const std::string& text, char delimiter) {
    const auto delim = static_cast<unsigned char>(delimiter);
    std::vector<std::string> fields;
    std::size_t pos = 0;
    while (IsSkippable(At(text, pos))) ++pos;

    while (At(text, pos) != 0) {
        const std::size_t start = pos;
        std::string field;
        if (At(text, pos) == '"') {
            ++pos;
            for (unsigned char c = At(text, pos); c != 0; c = At(text, pos)) {
                if (c == '"') {
                    if (At(text, pos + 1) != '"') {
                        ++pos;
                        break;
                    }
                    ++pos;
                }
                field.push_back(static_cast<char>(c));
                ++pos;
            }
        } else {
            for (unsigned char c = At(text, pos); c >= 32 && c != delim; c = At(text, pos)) {
                field.push_back(static_cast<char>(c));
                ++pos;
            }
        }
        fields.push_back(std::move(field));

        while (IsSkippable(At(text, pos))) ++pos;
        if (At(text, pos) == delim && delim != 0) {
            ++pos;
            while (IsSkippable(At(text, pos))) ++pos;
        }
        // A delimiter that is itself a control character could stall the scan.
        if (pos == start) ++pos;
    }
    return fields;
}

}  // namespace tolvenmark
