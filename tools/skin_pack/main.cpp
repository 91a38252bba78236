// tolvenmark-skin-pack: packs a skin folder into one .skn file, or lists one.
// Exit status: 0 done, 1 refused or failed (the reason on standard error),
// 2 bad arguments.

#include <cstdio>
#include <cstring>
#include <string>

#include "skin/skin_pack.h"

namespace {

constexpr const char* kUsage =
    "Usage: tolvenmark-skin-pack FOLDER OUT.SKN\n"
    "       tolvenmark-skin-pack --list FILE.SKN\n"
    "       tolvenmark-skin-pack --help\n"
    "Packs the files of a skin folder (its skin.ini or OUT.ini and the images it names)\n"
    "into one packed skin, or lists the members of a packed skin with their sizes.\n"
    "Exit status: 0 done, 1 refused or failed, 2 bad arguments.\n";

int Usage(FILE* to, int status) {
    std::fputs(kUsage, to);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tolvenmark;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
        return Usage(stdout, 0);
    if (argc != 3) return Usage(stderr, 2);
    const bool list = std::strcmp(argv[1], "--list") == 0;
    if (!list && argv[1][0] == '-') return Usage(stderr, 2);

    try {
        if (list) {
            for (const PackedMember& member : ListPackedSkin(argv[2]))
                std::printf("%10u  %s\n", member.size, member.name.c_str());
        } else {
            const auto members = PackSkinFolder(argv[1], argv[2]);
            std::printf("packed %zu files into %s\n", members.size(), argv[2]);
        }
    } catch (const SkinPackError& error) {
        std::fprintf(stderr, "tolvenmark-skin-pack: %s\n", error.what());
        return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
