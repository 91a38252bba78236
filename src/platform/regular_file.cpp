#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvenmark {

int OpenRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat st {};
    int error = 0;
    if (::fstat(fd, &st) != 0)
        error = errno;
    else if (S_ISDIR(st.st_mode))
        error = EISDIR;
    else if (!S_ISREG(st.st_mode))
        error = kNotRegularFile;
    if (error == 0) return fd;
    ::close(fd);
    errno = error;
    return -1;
}

std::FILE* OpenRegularFileStream(const std::string& path) {
    const int fd = OpenRegularFile(path);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    return file;
}

int ReadRegularFile(const std::string& path, std::string& content, std::uint64_t maxBytes) {
    content.clear();
    const int fd = OpenRegularFile(path);
    if (fd < 0) return errno;
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        // Refused before a byte is read: a huge (or sparse) file costs nothing.
        if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
            ::close(fd);
            return EFBIG;
        }
        content.reserve(static_cast<std::size_t>(st.st_size));
    }
    int error = 0;
    char buffer[65536];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        // A file that grows while it is read is cut off at the cap all the same.
        if (content.size() + static_cast<std::size_t>(n) > maxBytes) {
            error = EFBIG;
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (error != 0) content.clear();
    return error;
}

}  // namespace tolvenmark
