#include "platform/io_error.h"

#include <cerrno>

#include "platform/regular_file.h"

namespace tolvenmark {

std::string InOutErrorMessage(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
        return "File not found";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return "File access denied";
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return "Disk full";
    case EMFILE:
    case ENFILE:
        return "Too many open files";
    case kNotRegularFile:
        return "Not a regular file";
    case ENAMETOOLONG:
    case ENOTDIR:
    case ELOOP:
        return "Invalid filename";
    default:
        return "I/O error " + std::to_string(errorNumber);
    }
}

}  // namespace tolvenmark
