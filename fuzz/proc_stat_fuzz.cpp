// A /proc/PID/stat line, whose process name is the process's own choice.
#include "platform/launcher_tree.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    const auto entry = tolvenmark::ParseProcStat(line);
    if (!entry) return 0;
    // A line that reads names a real id, and its name ends before the fields.
    if (entry->pid <= 0 || entry->ppid < 0 || line.rfind(')') == std::string::npos) __builtin_trap();
    return 0;
}
