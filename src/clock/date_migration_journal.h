#pragma once

#include <optional>
#include <string>

namespace tolvenmark {

// What a date-format migration starts from, kept in a file of its own until
// every rewritten date and the new order are safely on the disk. While it
// exists, "Alarms.txt", ALDATE, ALFORMAT and ALDATESEP may be half done; the
// next start redoes the migration from it.
struct MigrationJournal {
    int storedCode = 0;        // ALFORMAT before the migration
    std::string oldSeparator;  // the separator the stored dates use
    std::string alDate;        // ALDATE as the file held it ("" when missing)
    bool hadAlarms = false;    // "Alarms.txt" existed
    std::string alarms;        // its bytes, unconverted

    bool operator==(const MigrationJournal&) const = default;
};

// Beside the configuration file, which the program can always write.
std::string MigrationJournalPath(const std::string& configPath);

// Written atomically (whole or not at all); throws OperationError naming
// the file when it cannot be.
void WriteMigrationJournal(const std::string& path, const MigrationJournal& journal);

// Nothing when there is no journal. A journal that cannot be read or is not
// one throws OperationError naming it: the data it keeps must not be
// guessed at or thrown away.
std::optional<MigrationJournal> ReadMigrationJournal(const std::string& path);

// Throws OperationError naming the file when it stays.
void RemoveMigrationJournal(const std::string& path);

}  // namespace tolvenmark
