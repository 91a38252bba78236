#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace tolvenmark {

// What the errno of a refused special file is: a FIFO, socket or device
// where a file is expected.
inline constexpr int kNotRegularFile = ENXIO;

// Every file the program reads may be a FIFO or a device put in its place:
// the open must not wait for a writer, and only a regular file is read.
// The descriptor (close-on-exec), or -1 with errno: EISDIR for a folder,
// kNotRegularFile for any other file that is not a regular one.
int OpenRegularFile(const std::string& path);

// The same as a stream opened "rb" (the caller closes it); null with errno.
std::FILE* OpenRegularFileStream(const std::string& path);

// The whole file into content: 0, or an errno value (as OpenRegularFile, or
// EFBIG when the file holds more than maxBytes).
int ReadRegularFile(const std::string& path, std::string& content,
                    std::uint64_t maxBytes = std::numeric_limits<std::uint64_t>::max());

}  // namespace tolvenmark
