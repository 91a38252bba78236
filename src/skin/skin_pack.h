#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tolvenmark {

// Why a folder cannot be packed or a file cannot be listed; the text is
// meant for the user as it stands.
class SkinPackError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct PackedMember {
    std::string name;
    std::uint32_t size = 0;
};

// The reason a member name cannot stand in a packed skin, or "" when it can:
// a plain file name of 1 to 64 bytes that lands in the unpack folder itself.
std::string PackedNameProblem(const std::string& name);

// Packs every file of folder into packedFile (replaced only when the whole
// file is written). The skin's INI must be the one the loader looks for
// (skin.ini or the packed file's base name + .ini), and every image it names
// must be a member. Throws SkinPackError.
std::vector<PackedMember> PackSkinFolder(const std::string& folder, const std::string& packedFile);

// The members a packed skin announces, checked against its real size.
// Throws SkinPackError for anything the loader would not unpack.
std::vector<PackedMember> ListPackedSkin(const std::string& packedFile);

}  // namespace tolvenmark
