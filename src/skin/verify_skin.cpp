#include "skin/verify_skin.h"

#include <exception>

#include "platform/folders.h"
#include "platform/profile_file.h"
#include "skin/skin_location.h"

namespace tolvenmark {

namespace {
constexpr std::size_t kVerifyBuffer = 255;
constexpr const char* kImageKeys[] = {"MaskBitmap",    "MouseUpBitmap", "MouseDownBitmap",
                                      "MouseOnBitmap", "NumbersBitmap", "TextBitmap"};

// A packed skin is checked where the load would read it: unpacked into a
// folder of its own, gone again when the check ends.
bool FilesMissing(const std::string& skinFile) {
    const SkinLocation where = LocateSkin(skinFile);
    if (where.damagedPacked) return true;
    if (where.unpacked && !FileExists(where.iniPath)) return true;
    const ProfileSnapshot ini = LoadSkinIni(where.iniPath, skinFile);
    for (const char* key : kImageKeys) {
        const std::string name = ini.Get("BITMAPINFO", key, "", kVerifyBuffer);
        if (!name.empty() && !FileExists(SkinImagePath(where.imageDir, name))) return true;
    }
    return false;
}

}  // namespace

void VerifySkin(const std::string& skinFile, bool& skinFilesMissing) {
    try {
        if (FilesMissing(skinFile)) skinFilesMissing = true;
    } catch (const std::exception&) {
        // Whatever keeps the check from reading the skin keeps the load from it too.
        skinFilesMissing = true;
    }
}

}  // namespace tolvenmark
