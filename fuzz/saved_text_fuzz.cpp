// A saved line as the dialogs show it and write it back: whatever its bytes,
// the shown text in the line's own encoding gives the same bytes again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/text_encoding.h"

using namespace tolvenmark;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const TextEncoding line = LineEncoding(bytes);
    const auto again = EncodeText(DecodeText(bytes, line), line);
    if (!again || *again != bytes) std::abort();
    // Western holds every byte, whatever the line turned out to be.
    const auto western = EncodeText(DecodeWestern(bytes), TextEncoding::Western);
    if (!western || *western != bytes) std::abort();
    return 0;
}
