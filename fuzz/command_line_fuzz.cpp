// A network message alarm's command line (ALFILE) split into words.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/launcher.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    std::size_t total = 0;
    for (const std::string& word : tolvenmark::SplitCommandLine(line)) total += word.size();
    // Words are made of the line's characters, never more of them.
    if (total > line.size()) __builtin_trap();
    return 0;
}
