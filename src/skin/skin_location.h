#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/profile_file.h"

namespace tolvenmark {

// A skin file larger than this is no skin: it is refused before it is read.
inline constexpr std::uintmax_t kMaxSkinIniBytes = 16ull * 1024 * 1024;

// A folder of its own for one packed skin's members, removed with this object
// (the images are in memory by then): members of an earlier packed skin can
// never stand in for files this one lacks.
class UnpackFolder {
public:
    UnpackFolder();  // OperationError "Cannot create folder ..." when it cannot be made
    ~UnpackFolder();
    UnpackFolder(const UnpackFolder&) = delete;
    UnpackFolder& operator=(const UnpackFolder&) = delete;

    const std::string& path() const { return path_; }  // with its trailing "/"

private:
    std::string path_;
};

// Where a skin's INI and images are. A ".SKN" file that unpacks is read from
// its members; one that does not is read as an INI beside its images.
struct SkinLocation {
    std::string iniPath;
    std::string imageDir;  // with its trailing "/", or "" for names relative to here
    bool unpacked = false;         // the members of a packed skin are in unpacked
    bool damagedPacked = false;    // a packed skin's magic, but a header or size that does not hold
    std::unique_ptr<UnpackFolder> folder;
};

// Throws what UnpackSkin throws (an unreadable packed file, a member that
// cannot be written).
SkinLocation LocateSkin(const std::string& skinFile);

// The file an image name of a skin means. Skins made on Windows separate
// folders with "\": it counts as "/", and each part of the name is found
// without regard to letter case, as the last part always was.
std::string SkinImagePath(const std::string& imageDir, const std::string& name);

// The skin's INI, read once. A file over kMaxSkinIniBytes is refused with an
// OperationError naming shownName.
ProfileSnapshot LoadSkinIni(const std::string& path, const std::string& shownName);

}  // namespace tolvenmark
