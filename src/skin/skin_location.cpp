#include "skin/skin_location.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include <stdlib.h>

#include "platform/conversion_error.h"
#include "platform/folders.h"
#include "platform/names.h"
#include "platform/regular_file.h"
#include "skin/packed_skin.h"

namespace tolvenmark {

namespace {

// The file name with its extension (from the last ".") replaced.
std::string ChangeExtension(const std::string& name, const std::string& extension) {
    const std::size_t dot = name.rfind('.');
    return (dot == std::string::npos ? name : name.substr(0, dot)) + extension;
}

std::string ExtensionOf(const std::string& path) {
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

}  // namespace

UnpackFolder::UnpackFolder() {
    std::string pattern = PrivateTempDirectory() + "skn-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw OperationError("Cannot create folder " + pattern);
    path_ = pattern + "/";
}

UnpackFolder::~UnpackFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

SkinLocation LocateSkin(const std::string& skinFile) {
    SkinLocation where;
    where.iniPath = skinFile;
    where.imageDir = FolderWithSlash(skinFile);
    if (AsciiUpper(ExtensionOf(skinFile)) != ".SKN") return where;
    where.folder = std::make_unique<UnpackFolder>();
    const std::string& tempDir = where.folder->path();
    if (UnpackSkin(skinFile, tempDir)) {
        where.unpacked = true;
        where.imageDir = tempDir;
        const std::string named = FindFileIgnoringCase(tempDir + ChangeExtension(FileNameOf(skinFile), ".INI"));
        where.iniPath = FileExists(named) ? named : FindFileIgnoringCase(tempDir + "skin.ini");
    } else {
        where.damagedPacked = HasPackedMagic(skinFile);
    }
    return where;
}

std::string SkinImagePath(const std::string& imageDir, const std::string& name) {
    if (name.find('\\') == std::string::npos && name.find('/') == std::string::npos)
        return FindFileIgnoringCase(imageDir + name);
    std::string relative = name;
    for (char& c : relative)
        if (c == '\\') c = '/';
    std::string folder = imageDir;
    std::size_t start = 0;
    for (std::size_t slash; (slash = relative.find('/', start)) != std::string::npos; start = slash + 1) {
        const std::string part = relative.substr(start, slash - start);
        folder += (part.empty() || part == "." || part == "..") ? part : FindFolderIgnoringCase(folder, part);
        folder += '/';
    }
    return FindFileIgnoringCase(folder + relative.substr(start));
}

ProfileSnapshot LoadSkinIni(const std::string& path, const std::string& shownName) {
    std::string content;
    switch (ReadRegularFile(path, content, kMaxSkinIniBytes)) {
        case 0:
            return ProfileSnapshot::FromText(content);
        case EFBIG:
            throw OperationError("The skin file " + shownName + " is too large to be a skin.");
        case ENOENT:
        case ENOTDIR:
        case EISDIR:
            // As the profile functions read it: every key takes its default.
            return {};
        default:
            // A device or a pipe would be read for ever.
            throw OperationError("Cannot open file " + shownName);
    }
}

}  // namespace tolvenmark
