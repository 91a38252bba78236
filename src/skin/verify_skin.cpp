#include "skin/verify_skin.h"

#include <cstring>
#include <fstream>

#include "platform/names.h"
#include "skin/packed_skin.h"
#include "platform/folders.h"
#include "platform/profile_file.h"

namespace tolvenmark {

namespace {

bool IsPackedSkinFile(const std::string& path) {
    if (AsciiUpper(path.substr(path.size() < 4 ? 0 : path.size() - 4)) != ".SKN") return false;
    std::ifstream in(path, std::ios::binary);
    char magic[10] = {};
    return in.read(magic, 10) && std::memcmp(magic, kPackedMagic, 10) == 0;
}

constexpr std::size_t kVerifyBuffer = 255;
constexpr const char* kImageKeys[] = {"MaskBitmap",    "MouseUpBitmap", "MouseDownBitmap",
                                      "MouseOnBitmap", "NumbersBitmap", "TextBitmap"};
}  // namespace

void VerifySkin(const std::string& skinFile, bool& skinFilesMissing) {
    // A packed skin carries its images; read as INI it would name them beside
    // itself and never pass. Its load checks the members.
    if (IsPackedSkinFile(skinFile)) return;
    // The same folder the loader takes the images from: a bare file name
    // means the current folder, not the root.
    const std::string dir = FolderWithSlash(skinFile);
    for (const char* key : kImageKeys) {
        const std::string name = GetPrivateProfileString("BITMAPINFO", key, "", kVerifyBuffer, skinFile);
        if (!name.empty() && !FileExists(FindFileIgnoringCase(dir + name))) skinFilesMissing = true;
    }
}

}  // namespace tolvenmark
