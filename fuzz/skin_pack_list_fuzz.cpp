// Listing a downloaded packed skin: any file is listed or refused with a
// reason, and whatever is listed the loader unpacks exactly so.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "skin/packed_skin.h"
#include "skin/skin_pack.h"
#include "fuzz_support.h"

namespace fs = std::filesystem;

namespace {

const std::string& FuzzRoot() {
    static const std::string root = tolvenmark::fuzzing::MakeFuzzRoot("list");
    return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string packed = FuzzRoot() + "/in.skn";
    const std::string target = FuzzRoot() + "/out";
    std::error_code ec;
    fs::remove_all(target, ec);

    // The first byte may force the magic, so the fuzzer reaches the header.
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    if ((data[0] & 1) && bytes.size() >= 10) std::memcpy(bytes.data(), tolvenmark::kPackedMagic, 10);
    std::ofstream(packed, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

    std::vector<tolvenmark::PackedMember> members;
    try {
        members = tolvenmark::ListPackedSkin(packed);
    } catch (const tolvenmark::SkinPackError&) {
        return 0;
    }
    if (!tolvenmark::UnpackSkin(packed, target)) std::abort();
    for (const auto& member : members) {
        if (!tolvenmark::PackedNameProblem(member.name).empty()) std::abort();
        // A later member of the same name overwrites an earlier one.
        bool last = true;
        for (const auto& other : members)
            if (&other > &member && other.name == member.name) last = false;
        if (last && fs::file_size(target + "/" + member.name, ec) != member.size) std::abort();
    }
    return 0;
}
