#pragma once

#include <functional>
#include <string>

namespace tolvenmark {

// The points of a file replacement or removal where a disk can fail or the
// process can die. Tests hook them to prove that data survives either.
enum class FileStep {
    Write,    // before the new content goes to the temporary file
    Sync,     // before the temporary file is flushed to the disk
    Rename,   // before the temporary file takes the real name
    Renamed,  // after it has: the new content is in place
    Remove,   // before a file is deleted
    Read,     // before a file is opened for reading (CanReadFile)
};

// Answers 0 to let the step run, or an errno value to make it fail as if the
// system had. A hook may also end the process there.
using FileFaultHook = std::function<int(FileStep step, const std::string& path)>;

void SetFileFaultHook(FileFaultHook hook);  // an empty hook removes it

// 0 without a hook.
int FileFault(FileStep step, const std::string& path);

// Deletes a file through the same seam; a file already gone counts as
// deleted. False with errno set when it stays.
bool RemoveFile(const std::string& path);

// The file is a regular one, opens and its first byte (if any) reads. False
// with errno set (OpenRegularFile).
bool CanReadFile(const std::string& path);

}  // namespace tolvenmark
