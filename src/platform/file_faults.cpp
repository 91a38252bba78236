#include "platform/file_faults.h"

#include <cerrno>
#include <unistd.h>

#include "platform/regular_file.h"

namespace tolvenmark {

namespace {

FileFaultHook& Hook() {
    static FileFaultHook hook;
    return hook;
}

}  // namespace

void SetFileFaultHook(FileFaultHook hook) { Hook() = std::move(hook); }

int FileFault(FileStep step, const std::string& path) {
    const FileFaultHook& hook = Hook();
    return hook ? hook(step, path) : 0;
}

bool RemoveFile(const std::string& path) {
    if (const int fault = FileFault(FileStep::Remove, path)) {
        errno = fault;
        return false;
    }
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool CanReadFile(const std::string& path) {
    if (const int fault = FileFault(FileStep::Read, path)) {
        errno = fault;
        return false;
    }
    const int fd = OpenRegularFile(path);
    if (fd < 0) return false;
    char byte = 0;
    ssize_t got = 0;
    do got = ::read(fd, &byte, 1);
    while (got < 0 && errno == EINTR);
    const int error = errno;
    ::close(fd);
    errno = error;
    return got >= 0;
}

}  // namespace tolvenmark
