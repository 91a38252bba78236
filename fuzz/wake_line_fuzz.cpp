// The wake helper's input, cut into lines and read as instants.
#define TOLVENMARK_WAKE_NO_MAIN
#pragma GCC diagnostic ignored "-Wunused-function"  // the parts that talk to the kernel
#include "wake/wake_helper.cpp"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LineReader reader;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // Fed in two pieces, as reads may split it anywhere.
    const std::size_t cut = size ? data[0] % (size + 1) : 0;
    for (const std::string_view piece : {input.substr(0, cut), input.substr(cut)})
        reader.Feed(piece, [](std::string_view line, bool tooLong) {
            if (line.size() > kLongestNumber) __builtin_trap();
            const std::optional<std::int64_t> instant = tooLong ? std::nullopt : ParseWakeLine(line);
            if (!instant) return;
            // What is taken is the number the line spells, with nothing else in it.
            const std::size_t digits = std::min(line.find_first_not_of('0'), line.size() - 1);
            if (*instant < 0 || std::to_string(*instant) != line.substr(digits)) __builtin_trap();
        });
    return 0;
}
