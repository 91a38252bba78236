// Date texts of any shape through the date-order migration: either the text
// comes back unchanged, or it is three numbers that decode back to the same
// day in the old order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "clock/date_migration.h"

using namespace tolvenmark;

namespace {

constexpr int kCodes[] = {123, 132, 213, 231, 312, 321, 0, 999, 124};

bool IsNumberish(char c) { return (c >= '0' && c <= '9') || c == ' '; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const int stored = kCodes[data[0] % std::size(kCodes)];
    const int current = kCodes[data[1] % std::size(kCodes)];
    const std::string oldSep = data[2] % 8 == 0 ? std::string() : std::string(1, static_cast<char>(data[2]));
    const std::string newSep(1, static_cast<char>(data[3]));
    const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);

    const std::string result = DecodeDateString(text, stored, oldSep, current, newSep);
    if (result == text) return 0;
    if (result.size() > 3 * 5 + 2 * newSep.size()) std::abort();

    // A changed text: back into the old order it is the original day, in the
    // canonical spelling of the old order.
    if (IsNumberish(newSep[0]) || oldSep.empty() || IsNumberish(oldSep[0])) return 0;
    const std::string back = DecodeDateString(result, current, newSep, stored, oldSep);
    const std::string canonical = DecodeDateString(text, stored, oldSep, stored, oldSep);
    if (back != canonical) std::abort();
    return 0;
}
