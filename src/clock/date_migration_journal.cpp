#include "clock/date_migration_journal.h"

#include <cerrno>
#include <sstream>

#include "clock/config.h"
#include "platform/conversion_error.h"
#include "platform/date_time_text.h"
#include "platform/file_faults.h"
#include "platform/folders.h"
#include "platform/regular_file.h"

namespace tolvenmark {

namespace {

constexpr const char* kMagic = "Tolvenmark Clock date format change 1";

// One "NAME=value" line; values never hold a line end (the configuration
// cannot store one).
bool TakeLine(std::string_view& rest, std::string_view name, std::string& value) {
    const std::size_t lf = rest.find('\n');
    if (lf == std::string_view::npos) return false;
    std::string_view line = rest.substr(0, lf);
    rest.remove_prefix(lf + 1);
    if (line.substr(0, name.size()) != name || line.substr(name.size(), 1) != "=") return false;
    value = std::string(line.substr(name.size() + 1));
    return true;
}

}  // namespace

std::string MigrationJournalPath(const std::string& configPath) { return configPath + ".date-change"; }

void WriteMigrationJournal(const std::string& path, const MigrationJournal& journal) {
    std::string content = std::string(kMagic) + "\n";
    content += "ALFORMAT=" + std::to_string(journal.storedCode) + "\n";
    content += "ALDATESEP=" + journal.oldSeparator + "\n";
    content += "ALDATE=" + journal.alDate + "\n";
    content += "ALARMS=" + std::string(journal.hadAlarms ? "1" : "0") + "\n";
    content += "LENGTH=" + std::to_string(journal.alarms.size()) + "\n";
    content += journal.alarms;
    errno = 0;
    if (!ReplaceFileAtomically(path, content)) throw OperationError(FileWriteError(path, errno ? errno : EIO));
}

std::optional<MigrationJournal> ReadMigrationJournal(const std::string& path) {
    std::string content;
    if (const int error = ReadRegularFile(path, content)) {
        if (error == ENOENT) return std::nullopt;
        throw OperationError(FileReadError(path, error));
    }

    std::string_view rest(content);
    std::string magic, code, alarms, length;
    MigrationJournal journal;
    const std::size_t lf = rest.find('\n');
    const bool ok = lf != std::string_view::npos && rest.substr(0, lf) == kMagic &&
                    (rest.remove_prefix(lf + 1), true) && TakeLine(rest, "ALFORMAT", code) &&
                    TakeLine(rest, "ALDATESEP", journal.oldSeparator) && TakeLine(rest, "ALDATE", journal.alDate) &&
                    TakeLine(rest, "ALARMS", alarms) && TakeLine(rest, "LENGTH", length) &&
                    (alarms == "0" || alarms == "1") &&
                    StrToIntDef(code, -1) > 0 && std::to_string(rest.size()) == length;
    // A cut or edited journal would convert the wrong dates.
    if (!ok) throw OperationError("The file : " + path + " is damaged.");
    journal.storedCode = StrToInt(code);
    journal.hadAlarms = alarms == "1";
    journal.alarms = std::string(rest);
    return journal;
}

void RemoveMigrationJournal(const std::string& path) {
    if (!RemoveFile(path)) throw OperationError(FileWriteError(path, errno ? errno : EIO));
}

}  // namespace tolvenmark
