#include "bin/bin_files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "bin/bin_line.h"
#include "platform/conversion_error.h"
#include "platform/folders.h"
#include "platform/regular_file.h"

namespace tolvenmark {

namespace {

[[noreturn]] void ThrowInOut(int errorNumber) {
    throw OperationError(InOutErrorMessage(errorNumber));
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closing can report a late write error (NFS, quotas).
    void Close() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 && errno != EINTR) ThrowInOut(errno);
    }

private:
    int fd_;
};

std::string ReadAll(int fd) {
    std::string content;
    char buffer[65536];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            ThrowInOut(errno);
        }
        if (n == 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
    }
    return content;
}

// A missing file reads as empty: neither file has to exist. Anything else
// that is not a regular file is refused, and so is one too large to be a list
// of alarms, before it is read.
std::string ReadBinFile(const std::string& path) {
    std::string content;
    const int error = ReadRegularFile(path, content, kMaxBinFileBytes);
    if (error == EFBIG) throw OperationError(LargeBinFileMessage(path));
    if (error != 0 && error != ENOENT && error != ENOTDIR) ThrowInOut(error);
    return content;
}

bool EndsWithLineEnd(const std::string& content) {
    return content.empty() || content.back() == '\n' || content.back() == '\r';
}

// One write() under O_APPEND, so a concurrent reader or writer never sees a
// line cut in two by another write.
void AppendText(const std::string& path, const std::string& text) {
    FileDescriptor fd(::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666));
    if (fd.get() < 0) ThrowInOut(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) ThrowInOut(errno);
    if (!S_ISREG(st.st_mode)) ThrowInOut(kNotRegularFile);
    if (static_cast<std::uint64_t>(st.st_size) > kMaxBinFileBytes) throw OperationError(LargeBinFileMessage(path));
    const std::string existing = ReadAll(fd.get());

    // Readers stop at a Ctrl-Z, so a line appended after one would be lost:
    // drop the Ctrl-Z and what follows it, replacing the file whole.
    const std::size_t eof = existing.find(kBinEndOfFile);
    if (eof != std::string::npos) {
        std::string content = existing.substr(0, eof);
        if (!EndsWithLineEnd(content)) content += kBinLineEnd;
        content += text;
        fd.Close();
        errno = 0;
        if (!ReplaceFileAtomically(path, content)) ThrowInOut(errno ? errno : EIO);
        return;
    }

    // One write, so no reader ever meets half a line; a short one (a full
    // disk) is cut back off, since a cut time would still read as a time.
    const std::string chunk = EndsWithLineEnd(existing) ? text : kBinLineEnd + text;
    const off_t oldLength = static_cast<off_t>(existing.size());
    ssize_t n = 0;
    do n = ::write(fd.get(), chunk.data(), chunk.size());
    while (n < 0 && errno == EINTR);
    int error = n < 0 ? errno : ENOSPC;
    // An alarm saved is an alarm kept, power cut or not.
    if (static_cast<std::size_t>(n) == chunk.size()) {
        if (::fsync(fd.get()) == 0) return fd.Close();
        error = errno;
    }
    while (::ftruncate(fd.get(), oldLength) != 0 && errno == EINTR) {
    }
    ::fsync(fd.get());
    ThrowInOut(error);
}

void ReplaceBinFile(const std::string& path, const std::string& content) {
    errno = 0;
    if (!ReplaceFileAtomically(path, content)) ThrowInOut(errno ? errno : EIO);
}

// One entry as a line of the file; a field that would break the line rule
// refuses the whole operation before anything is written.
void AppendLine(std::string& out, const std::string& a, const std::string& b, const std::string& c) {
    CheckBinField(a);
    CheckBinField(b);
    CheckBinField(c);
    out += FormatBinLine(a, b, c);
    out += kBinLineEnd;
}

}  // namespace

std::string AlarmsPath(const std::string& appPath) { return appPath + "/Alarms.txt"; }

std::string StorageBinPath(const std::string& appPath) { return appPath + "/StorageBin.txt"; }

std::string LongBinLineMessage(const std::string& path, std::size_t lineNumber) {
    return "Line " + std::to_string(lineNumber) + " of the file : " + path + " is longer than " +
           std::to_string(kMaxBinLineBytes) + " characters; the file was left as it is.";
}

std::string LargeBinFileMessage(const std::string& path) {
    return "The file : " + path + " is larger than " + std::to_string(kMaxBinFileBytes / (1024 * 1024)) +
           " MB and was not read; the file was left as it is.";
}

SavedAlarmList LoadSavedAlarms(const std::string& path, std::vector<std::size_t>& longLines) {
    SavedAlarmList alarms;
    for (const auto& line : ReadBinLines(ReadBinFile(path), kMaxBinLineBytes, &longLines)) {
        auto fields = SplitBinLine(line);
        alarms.push_back({std::move(fields[0]), std::move(fields[1]), std::move(fields[2])});
    }
    return alarms;
}

SavedAlarmList LoadSavedAlarms(const std::string& path) {
    std::vector<std::size_t> longLines;
    SavedAlarmList alarms = LoadSavedAlarms(path, longLines);
    if (!longLines.empty()) throw OperationError(LongBinLineMessage(path, longLines.front()));
    return alarms;
}

FileSettingList LoadFileSettings(const std::string& path) {
    FileSettingList settings;
    for (const auto& line : LoadBinLines(path)) {
        auto fields = SplitBinLine(line);
        settings.push_back({std::move(fields[0]), std::move(fields[1]), std::move(fields[2])});
    }
    return settings;
}

void AppendSavedAlarms(const std::string& path, const SavedAlarmList& alarms) {
    if (alarms.empty()) return;
    std::string text;
    for (const auto& alarm : alarms) {
        AppendLine(text, alarm.header, alarm.date, alarm.time);
    }
    AppendText(path, text);
}

void AppendSavedAlarm(const std::string& path, const SavedAlarm& alarm) {
    AppendSavedAlarms(path, SavedAlarmList{alarm});
}

void AppendFileSetting(const std::string& path, const FileSetting& setting) {
    std::string text;
    AppendLine(text, setting.target, setting.fileId, setting.player);
    AppendText(path, text);
}

void RewriteSavedAlarms(const std::string& path, const SavedAlarmList& alarms) {
    RewriteSavedAlarms(path, alarms, {});
}

void RewriteSavedAlarms(const std::string& path, const SavedAlarmList& alarms,
                        const std::vector<std::string>& keptLines) {
    std::string content;
    content.reserve(alarms.size() * 40);
    for (const auto& alarm : alarms) {
        if (alarm.date.empty()) continue;
        AppendLine(content, alarm.header, alarm.date, alarm.time);
    }
    for (const auto& line : keptLines) {
        content += line;
        content += kBinLineEnd;
    }
    ReplaceBinFile(path, content);
}

std::vector<std::string> LoadBinLines(const std::string& path) {
    std::vector<std::size_t> longLines;
    std::vector<std::string> lines = ReadBinLines(ReadBinFile(path), kMaxBinLineBytes, &longLines);
    if (!longLines.empty()) throw OperationError(LongBinLineMessage(path, longLines.front()));
    return lines;
}

void RewriteFileSettings(const std::string& path, const FileSettingList& settings) {
    std::string content;
    content.reserve(settings.size() * 60);
    for (const auto& setting : settings) {
        if (setting.target.empty()) continue;
        AppendLine(content, setting.target, setting.fileId, setting.player);
    }
    ReplaceBinFile(path, content);
}

bool IsDuplicateAlarm(const SavedAlarmList& alarms, const std::string& date, const std::string& time) {
    return std::any_of(alarms.begin(), alarms.end(),
                       [&](const SavedAlarm& a) { return a.date == date && a.time == time; });
}

bool IsDuplicateFileSetting(const FileSettingList& settings, const std::string& target) {
    return std::any_of(settings.begin(), settings.end(),
                       [&](const FileSetting& s) { return s.target == target; });
}

void ClearAlarmArray(SavedAlarmList& alarms) { alarms.clear(); }

void ClearFileArray(FileSettingList& settings) { settings.clear(); }

}  // namespace tolvenmark
