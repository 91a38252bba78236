#include "skin/verify_skin.h"

#include "platform/names.h"
#include "platform/folders.h"
#include "platform/profile_file.h"

namespace tolvenmark {

namespace {
constexpr std::size_t kVerifyBuffer = 255;
constexpr const char* kImageKeys[] = {"MaskBitmap",    "MouseUpBitmap", "MouseDownBitmap",
                                      "MouseOnBitmap", "NumbersBitmap", "TextBitmap"};
}  // namespace

void VerifySkin(const std::string& skinFile, bool& skinFilesMissing) {
    // The same folder the loader takes the images from: a bare file name
    // means the current folder, not the root.
    const std::string dir = FolderWithSlash(skinFile);
    for (const char* key : kImageKeys) {
        const std::string name = GetPrivateProfileString("BITMAPINFO", key, "", kVerifyBuffer, skinFile);
        if (!name.empty() && !FileExists(FindFileIgnoringCase(dir + name))) skinFilesMissing = true;
    }
}

}  // namespace tolvenmark
