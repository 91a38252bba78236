// Any bytes where the date-change journal should be: the reader either names
// the file as damaged or gives a journal that writes back to the same bytes'
// meaning.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "clock/date_migration_journal.h"
#include "platform/conversion_error.h"

using namespace tolvenmark;

namespace {

std::string Folder() {
    static std::string folder = [] {
        std::string pattern = "/tmp/journal-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        return pattern;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = Folder() + "/TOLVENMARKCLOCK.INI.date-change";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    std::optional<MigrationJournal> journal;
    try {
        journal = ReadMigrationJournal(path);
    } catch (const OperationError&) {
        return 0;
    }
    if (!journal) std::abort();  // the file is there
    // Values hold no line end, or the written journal would not read back.
    if (journal->oldSeparator.find('\n') != std::string::npos || journal->alDate.find('\n') != std::string::npos)
        std::abort();
    WriteMigrationJournal(path, *journal);
    if (ReadMigrationJournal(path) != journal) std::abort();
    return 0;
}
