// "Alarms.txt" as the storage bin opens and saves it: whatever the file holds,
// the save keeps one line per line read, and opening the saved file again
// gives the same rows and the same unread lines.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bin/bin_files.h"
#include "bin/storage_bin.h"

using namespace tolvenmark;

namespace {

const std::string& Folder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/tolvenmark-fuzz-XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        return std::string(pattern);
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = Folder() + "/Alarms.txt";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const RegionalSettings settings;
    const AlarmsLoad first = LoadAlarmsForBin(path, settings, 2003);
    const std::size_t lines = LoadBinLines(path).size();
    if (first.rows.size() + first.unreadLines.size() != lines) std::abort();

    RewriteSavedAlarms(path, first.rows, first.unreadLines);
    if (LoadBinLines(path).size() != lines) std::abort();
    const AlarmsLoad second = LoadAlarmsForBin(path, settings, 2003);
    if (second.rows != first.rows || second.unreadLines != first.unreadLines) std::abort();
    return 0;
}
