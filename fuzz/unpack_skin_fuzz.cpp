// Packed skins are downloaded files: any header must be refused or unpacked
// without a crash, and nothing may ever be written outside the target folder.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "platform/conversion_error.h"
#include "skin/packed_skin.h"
#include "fuzz_support.h"

namespace fs = std::filesystem;

namespace {

const std::string& FuzzRoot() {
    static const std::string root = tolvenmark::fuzzing::MakeFuzzRoot("unpack");
    return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string root = FuzzRoot();
    const std::string packed = root + "/in.skn";
    const std::string target = root + "/out";
    std::error_code ec;
    fs::remove_all(target, ec);

    // The first byte may force the magic, so the fuzzer reaches the header.
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    if ((data[0] & 1) && bytes.size() >= 10) std::memcpy(bytes.data(), tolvenmark::kPackedMagic, 10);
    std::FILE* file = std::fopen(packed.c_str(), "wb");
    if (!file) std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);

    bool unpacked = false;
    try {
        unpacked = tolvenmark::UnpackSkin(packed, target);
    } catch (const tolvenmark::OperationError&) {
    }

    std::size_t written = 0, files = 0;
    for (const auto& entry : fs::directory_iterator(root)) {
        const std::string name = entry.path().filename().string();
        if (name != "in.skn" && name != "out") std::abort();  // escaped the target
    }
    if (fs::exists(target)) {
        for (const auto& entry : fs::recursive_directory_iterator(target)) {
            if (!entry.is_regular_file()) std::abort();  // a folder inside the target
            written += static_cast<std::size_t>(entry.file_size());
            ++files;
        }
    }
    if (!unpacked && files != 0) std::abort();  // refused, yet written
    if (written > bytes.size()) std::abort();
    return 0;
}
