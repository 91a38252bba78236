#include "skin/packed_skin.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/conversion_error.h"
#include "platform/io_error.h"
#include "platform/regular_file.h"

namespace tolvenmark {

namespace {

[[noreturn]] void ThrowIo(int error) { throw OperationError(InOutErrorMessage(error)); }

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

struct Member {
    std::string name;
    std::uint32_t size = 0;
};

// A member must land in the target folder and nowhere else.
bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name)
        if (c < 32 || c == '/' || c == '\\' || c == ':') return false;
    return true;
}

std::uint32_t ReadLittleEndian32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The members the header announces, or false when it is not a sound header
// for a file of fileSize bytes.
bool ParseHeader(const std::array<unsigned char, kPackedHeaderSize>& header, std::uint64_t fileSize,
                 std::vector<Member>& members) {
    const std::size_t count = header[kPackedCountOffset];
    if (count > kPackedMaxMembers) return false;
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* entry = header.data() + kPackedNamesOffset + i * kPackedNameSize;
        const std::size_t length = entry[0];
        if (length > kPackedNameSize - 1) return false;
        Member member;
        member.name.assign(reinterpret_cast<const char*>(entry + 1), length);
        if (!IsPlainFileName(member.name)) return false;
        member.size = ReadLittleEndian32(header.data() + kPackedSizesOffset + i * 4);
        total += member.size;
        members.push_back(std::move(member));
    }
    return total <= fileSize - kPackedHeaderSize && total <= kPackedMaxTotalBytes;
}

// Replaces whatever stood at path (a link is removed, never followed).
void WriteMember(std::FILE* in, const std::string& path, std::uint32_t size) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) ThrowIo(errno);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) ThrowIo(errno);
    File out(::fdopen(fd, "wb"));
    if (!out) {
        const int error = errno;
        ::close(fd);
        ThrowIo(error);
    }
    std::array<char, 8192> block;
    std::uint32_t left = size;
    while (left > 0) {
        const std::size_t want = left < block.size() ? left : block.size();
        if (std::fread(block.data(), 1, want, in) != want) {
            if (std::ferror(in)) ThrowIo(errno);
            throw OperationError("Read beyond end of file");
        }
        if (std::fwrite(block.data(), 1, want, out.get()) != want) ThrowIo(errno);
        left -= static_cast<std::uint32_t>(want);
    }
    if (std::fflush(out.get()) != 0) ThrowIo(errno);
}

}  // namespace

bool HasPackedMagic(const std::string& file) {
    File in(OpenRegularFileStream(file));
    if (!in) return false;
    char magic[10];
    return std::fread(magic, 1, sizeof magic, in.get()) == sizeof magic && std::memcmp(magic, kPackedMagic, 10) == 0;
}

bool UnpackSkin(const std::string& packedFile, const std::string& targetDir) {
    std::error_code ec;
    std::filesystem::create_directories(targetDir, ec);
    if (ec || !std::filesystem::is_directory(targetDir, ec)) return false;

    File in(OpenRegularFileStream(packedFile));
    if (!in) ThrowIo(errno);
    struct stat info {};
    if (::fstat(::fileno(in.get()), &info) != 0) ThrowIo(errno);

    std::array<unsigned char, kPackedHeaderSize> header{};
    const std::size_t got = std::fread(header.data(), 1, header.size(), in.get());
    if (got < header.size() && std::ferror(in.get())) ThrowIo(errno);
    if (got < 10 || std::memcmp(header.data(), kPackedMagic, 10) != 0) return false;
    if (got < header.size()) return false;

    const std::uint64_t fileSize = info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
    std::vector<Member> members;
    if (fileSize < kPackedHeaderSize || !ParseHeader(header, fileSize, members)) return false;

    std::string dir = targetDir;
    if (dir.empty() || dir.back() != '/') dir += '/';
    for (const Member& member : members) WriteMember(in.get(), dir + member.name, member.size);
    return true;
}

}  // namespace tolvenmark
