// Mount tables as the kernel lists them, with the octal escapes a disc label
// can bring into a mount point.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/drives.h"

using namespace tolvenmark;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view table(reinterpret_cast<const char*>(data), size);
    for (const char* device : {"sr0", "sr1"}) {
        const std::string mountPoint = MountPointIn(table, device);
        // Escapes only ever shrink a field.
        if (mountPoint.size() > table.size()) std::abort();
    }
    return 0;
}
