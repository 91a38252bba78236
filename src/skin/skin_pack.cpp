#include "skin/skin_pack.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/names.h"
#include "platform/profile_file.h"
#include "platform/regular_file.h"
#include "skin/packed_skin.h"
#include "skin/skin_line.h"

namespace tolvenmark {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxNameBytes = kPackedNameSize - 1;
constexpr int kMaxTrackBarLines = 4096;  // far beyond any real skin; bounds the scan

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

[[noreturn]] void Fail(const std::string& text) { throw SkinPackError(text); }

[[noreturn]] void FailIo(const std::string& what, const std::string& path, int error) {
    Fail("cannot " + what + " " + Quoted(path) + ": " +
         (error == kNotRegularFile ? "not a regular file" : std::strerror(error)));
}

void PutLittleEndian32(unsigned char* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t GetLittleEndian32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::string BaseName(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

bool HasMember(const std::vector<PackedMember>& members, const std::string& name) {
    return std::any_of(members.begin(), members.end(),
                       [&](const PackedMember& m) { return EqualIgnoringAsciiCase(m.name, name); });
}

// Small decimal counts only; anything else counts as none, as the loader's default.
int CountOf(const std::string& text) {
    int value = 0;
    if (text.empty() || text.size() > 6) return 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
    }
    return std::min(value, kMaxTrackBarLines);
}

// Every image file the INI names, with where it is named.
std::vector<std::pair<std::string, std::string>> NamedImages(const std::string& iniPath) {
    const ProfileSnapshot ini = ProfileSnapshot::Load(iniPath);
    std::vector<std::pair<std::string, std::string>> named;
    for (const char* key : {"MaskBitmap", "MouseUpBitmap", "MouseDownBitmap", "MouseOnBitmap", "NumbersBitmap",
                            "TextBitmap"}) {
        const std::string name = ini.Get("BITMAPINFO", key, "", 2048);
        if (!name.empty()) named.emplace_back(name, key);
    }
    const int bars = CountOf(ini.Get("TRACKBARINFO", "Count", "", 2048));
    for (int n = 1; n <= bars; ++n) {
        const std::vector<std::string> fields = SplitSkinLine(ini.Get("TRACKBARINFO", std::to_string(n), "", 2048), ',');
        for (std::size_t f = 1; f <= 2 && f < fields.size(); ++f)
            named.emplace_back(fields[f], "track bar " + std::to_string(n));
    }
    return named;
}

std::string ReadWhole(const std::string& path) {
    std::string bytes;
    if (const int error = ReadRegularFile(path, bytes)) FailIo("read", path, error);
    return bytes;
}

}  // namespace

std::string PackedNameProblem(const std::string& name) {
    if (name.empty()) return "an empty name";
    if (name == "." || name == ".." || name.find("..") != std::string::npos)
        return Quoted(name) + " holds \"..\"; a member must stay in the skin's folder";
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
        name.find(':') != std::string::npos)
        return Quoted(name) + " names a folder; a member must be a plain file name";
    for (unsigned char c : name)
        if (c < 32) return Quoted(name) + " holds a control character";
    if (name.size() > kMaxNameBytes)
        return Quoted(name) + " is longer than " + std::to_string(kMaxNameBytes) + " bytes";
    return {};
}

std::vector<PackedMember> PackSkinFolder(const std::string& folder, const std::string& packedFile) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) Fail(Quoted(folder) + " is not a folder");

    std::vector<std::string> names;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (it->is_directory(ec)) Fail(Quoted(name) + " in " + Quoted(folder) + " is a folder; a packed skin holds plain files only");
        if (!it->is_regular_file(ec)) Fail(Quoted(name) + " in " + Quoted(folder) + " is not a regular file");
        if (const std::string problem = PackedNameProblem(name); !problem.empty()) Fail(problem);
        names.push_back(name);
    }
    if (ec) FailIo("read the folder", folder, ec.value());
    if (names.size() > kPackedMaxMembers)
        Fail(Quoted(folder) + " holds " + std::to_string(names.size()) + " files; a packed skin holds at most " +
             std::to_string(kPackedMaxMembers));
    // Sorted without regard to case, so names that differ only in case meet.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::pair(AsciiUpper(a), a) < std::pair(AsciiUpper(b), b);
    });
    for (std::size_t i = 1; i < names.size(); ++i)
        if (EqualIgnoringAsciiCase(names[i - 1], names[i]))
            Fail(Quoted(names[i - 1]) + " and " + Quoted(names[i]) + " differ only in letter case");

    // The loader takes "<packed name>.ini" first, then "skin.ini".
    const std::string ownIni = BaseName(FileNameOf(packedFile)) + ".ini";
    auto ini = std::find_if(names.begin(), names.end(), [&](const std::string& n) { return EqualIgnoringAsciiCase(n, ownIni); });
    if (ini == names.end())
        ini = std::find_if(names.begin(), names.end(), [](const std::string& n) { return EqualIgnoringAsciiCase(n, "skin.ini"); });
    if (ini == names.end())
        Fail(Quoted(folder) + " has neither skin.ini nor " + ownIni + "; the loader would not find the skin");
    std::rotate(names.begin(), ini, ini + 1);  // the INI first, for a listing that reads well

    std::vector<PackedMember> members;
    std::vector<std::string> contents;
    const std::string dir = FolderWithSlash(folder + "/");
    for (const std::string& name : names) {
        contents.push_back(ReadWhole(dir + name));
        if (contents.back().size() > UINT32_MAX) Fail(Quoted(name) + " is larger than 4 GB");
        members.push_back({name, static_cast<std::uint32_t>(contents.back().size())});
    }
    for (const auto& [image, where] : NamedImages(dir + names.front())) {
        if (const std::string problem = PackedNameProblem(image); !problem.empty())
            Fail(names.front() + " (" + where + ") names " + problem);
        if (!HasMember(members, image))
            Fail(names.front() + " (" + where + ") names " + Quoted(image) + ", which is not in " + Quoted(folder));
    }

    std::array<unsigned char, kPackedHeaderSize> header{};
    std::memcpy(header.data(), kPackedMagic, 10);
    header[kPackedCountOffset] = static_cast<unsigned char>(members.size());
    for (std::size_t i = 0; i < members.size(); ++i) {
        unsigned char* entry = header.data() + kPackedNamesOffset + i * kPackedNameSize;
        entry[0] = static_cast<unsigned char>(members[i].name.size());
        std::memcpy(entry + 1, members[i].name.data(), members[i].name.size());
        PutLittleEndian32(header.data() + kPackedSizesOffset + i * 4, members[i].size);
    }

    // Written beside the target and renamed over it, so a failure leaves no half file.
    std::string temp = FolderWithSlash(packedFile) + ".skin-pack-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) FailIo("write", packedFile, errno);
    File out(::fdopen(fd, "wb"));
    bool ok = out != nullptr && std::fwrite(header.data(), 1, header.size(), out.get()) == header.size();
    for (std::size_t i = 0; ok && i < contents.size(); ++i)
        ok = std::fwrite(contents[i].data(), 1, contents[i].size(), out.get()) == contents[i].size();
    ok = ok && std::fflush(out.get()) == 0 && ::fsync(fd) == 0;
    const int error = errno;
    if (!out) ::close(fd);
    out.reset();
    if (ok && ::chmod(temp.c_str(), 0644) == 0 && ::rename(temp.c_str(), packedFile.c_str()) == 0) return members;
    const int failure = ok ? errno : error;
    ::unlink(temp.c_str());
    FailIo("write", packedFile, failure);
}

std::vector<PackedMember> ListPackedSkin(const std::string& packedFile) {
    File in(OpenRegularFileStream(packedFile));
    if (!in && errno == EISDIR) Fail(Quoted(packedFile) + " is a folder");
    if (!in) FailIo("open", packedFile, errno);
    std::array<unsigned char, kPackedHeaderSize> header{};
    const std::size_t got = std::fread(header.data(), 1, header.size(), in.get());
    if (std::ferror(in.get())) FailIo("read", packedFile, errno);
    if (got < 10 || std::memcmp(header.data(), kPackedMagic, 10) != 0) Fail(Quoted(packedFile) + " is not a packed skin");
    if (got < header.size()) Fail(Quoted(packedFile) + " ends inside its header");
    struct stat info {};
    if (::fstat(::fileno(in.get()), &info) != 0) FailIo("read", packedFile, errno);
    const std::uint64_t fileSize = static_cast<std::uint64_t>(info.st_size);

    const std::size_t count = header[kPackedCountOffset];
    if (count > kPackedMaxMembers)
        Fail(Quoted(packedFile) + " announces " + std::to_string(count) + " members; at most " +
             std::to_string(kPackedMaxMembers) + " are allowed");
    std::vector<PackedMember> members;
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* entry = header.data() + kPackedNamesOffset + i * kPackedNameSize;
        PackedMember member;
        member.name.assign(reinterpret_cast<const char*>(entry + 1), std::min<std::size_t>(entry[0], kPackedNameSize));
        if (entry[0] > kMaxNameBytes) Fail("member " + std::to_string(i + 1) + ": name length " + std::to_string(entry[0]) + " is over " + std::to_string(kMaxNameBytes));
        if (const std::string problem = PackedNameProblem(member.name); !problem.empty())
            Fail("member " + std::to_string(i + 1) + ": " + problem);
        member.size = GetLittleEndian32(header.data() + kPackedSizesOffset + i * 4);
        total += member.size;
        members.push_back(std::move(member));
    }
    if (total > kPackedMaxTotalBytes)
        Fail(Quoted(packedFile) + " announces " + std::to_string(total) + " bytes of members; a skin may unpack to " +
             std::to_string(kPackedMaxTotalBytes) + " at most");
    if (total > fileSize - kPackedHeaderSize)
        Fail(Quoted(packedFile) + " is cut short: its members need " + std::to_string(total) + " bytes, it holds " +
             std::to_string(fileSize - kPackedHeaderSize));
    return members;
}

}  // namespace tolvenmark
