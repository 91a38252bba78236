#include "platform/folders.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/names.h"
#include "platform/conversion_error.h"
#include "platform/file_faults.h"

namespace tolvenmark {

namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return (value && *value) ? std::string(value) : fallback;
}

std::string HomeDirectory() { return EnvOr("HOME", "/tmp"); }

std::string Folder(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& content) {
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// $XDG_CACHE_HOME/tolvenmark/name, private. Nobody else can write in the
// user's own cache folder, so nobody can take it first.
std::string PrivateCacheFolder(const std::string& name) {
    const std::string cache = WithoutTrailingSlashes(EnvOr("XDG_CACHE_HOME", HomeDirectory() + "/.cache"));
    std::error_code ignored;
    std::filesystem::create_directories(cache, ignored);
    struct stat st {};
    if (::stat(cache.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || (st.st_uid != ::geteuid() && st.st_uid != 0) ||
        (st.st_mode & 022) != 0)
        throw OperationError("The folder " + cache + " is not private");
    MakePrivateFolder(cache + "/tolvenmark");
    MakePrivateFolder(cache + "/tolvenmark/" + name);
    return cache + "/tolvenmark/" + name;
}

}  // namespace

std::string WindowsDirectory() {
    const char* windir = std::getenv("TOLVENMARK_WINDIR");
    if (windir && *windir) return windir;
    return EnvOr("XDG_CONFIG_HOME", HomeDirectory() + "/.config") + "/tolvenmark";
}

std::string DefaultDataDirectory() {
    return EnvOr("XDG_DATA_HOME", HomeDirectory() + "/.local/share") + "/tolvenmark";
}

void MakePrivateFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        throw OperationError("Cannot create the folder " + path + ": " + std::strerror(errno));
    // Someone else may have made it first in a shared folder: only a folder we
    // own, that nobody else can enter, is private.
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() ||
        ((st.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0))
        throw OperationError("The folder " + path + " is not private");
}

std::string PrivateTempDirectory() {
    const std::string dir = WithoutTrailingSlashes(EnvOr("TMPDIR", "/tmp")) + "/tolvenmark-" + std::to_string(::getuid());
    try {
        MakePrivateFolder(dir);
        return dir + "/";
    } catch (const OperationError&) {
        // A shared folder another user took first, or a TMPDIR that is not there.
        return PrivateCacheFolder("tmp") + "/";
    }
}

std::string PrivateRuntimeDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (runtime && *runtime && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & 022) == 0)
        return WithoutTrailingSlashes(runtime);
    return PrivateCacheFolder("run");
}

std::string ShortPrivateRuntimeDirectory(const std::string& folder) {
    // FNV-1a: stable across runs, so the clock and its clients meet.
    std::uint32_t hash = 2166136261u;
    for (const unsigned char c : folder) hash = (hash ^ c) * 16777619u;
    char name[64];
    std::snprintf(name, sizeof name, "/tmp/tolvenmark-%u-%08x", static_cast<unsigned>(::geteuid()), hash);
    MakePrivateFolder(name);
    return name;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string FindFileIgnoringCase(const std::string& path) {
    if (FileExists(path)) return path;
    const std::string folder = FolderWithSlash(path);
    const std::string name = FileNameOf(path);
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (EqualIgnoringAsciiCase(candidate, name) && FileExists(folder + candidate)) return folder + candidate;
    }
    return path;
}

// A folder in folder (with its trailing "/", or "") whose name is part, or
// differs from it only in letter case; part itself when there is none.
std::string FindFolderIgnoringCase(const std::string& folder, const std::string& part) {
    std::error_code ec;
    if (std::filesystem::is_directory(folder + part, ec)) return part;
    for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (EqualIgnoringAsciiCase(candidate, part) && std::filesystem::is_directory(folder + candidate, ec))
            return candidate;
    }
    return part;
}

bool ReplaceFileAtomically(const std::string& requested, const std::string& content) {
    // A linked file (a configuration kept elsewhere) is replaced where it lives.
    std::string path = requested;
    if (char* real = ::realpath(requested.c_str(), nullptr)) {
        path = real;
        std::free(real);
    }
    mode_t mode = 0644;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return false;
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    std::string temp = Folder(path) + "/." + FileNameOf(path) + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    auto fault = [&](FileStep step) {
        const int error = FileFault(step, path);
        if (error) errno = error;
        return error == 0;
    };
    bool ok = fault(FileStep::Write) && WriteAll(fd, content) && ::fchmod(fd, mode) == 0 &&
              fault(FileStep::Sync) && ::fsync(fd) == 0;
    int error = errno;
    ok = (::close(fd) == 0) && ok;
    if (ok && fault(FileStep::Rename) && ::rename(temp.c_str(), path.c_str()) == 0) {
        // The new name must reach the disk before anything that relies on it.
        const int dir = ::open(Folder(path).c_str(), O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        return fault(FileStep::Renamed);
    }
    if (!ok) errno = error;
    error = errno;
    ::unlink(temp.c_str());
    errno = error;
    return false;
}

int RemoveStaleTempFiles(const std::string& folder, const std::string& name) {
    const std::string prefix = "." + name + ".";
    const std::size_t length = prefix.size() + 6;
    auto isMkstempChar = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    };
    int removed = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (candidate.size() != length || candidate.compare(0, prefix.size(), prefix) != 0) continue;
        bool pattern = true;
        for (std::size_t i = prefix.size(); i < length; ++i) pattern = pattern && isMkstempChar(candidate[i]);
        struct stat st {};
        const std::string full = it->path().string();
        if (!pattern || ::lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid())
            continue;
        if (::unlink(full.c_str()) == 0) ++removed;
    }
    return removed;
}

}  // namespace tolvenmark
