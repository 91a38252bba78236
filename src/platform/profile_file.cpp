#include "platform/profile_file.h"

#include <cerrno>
#include <string_view>

#include "platform/names.h"
#include "platform/folders.h"
#include "platform/regular_file.h"

namespace tolvenmark {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

enum class ReadResult { Ok, Missing, Failed };

ReadResult ReadWholeFile(const std::string& path, std::string& content) {
    const int error = ReadRegularFile(path, content);
    return error == 0 ? ReadResult::Ok : error == ENOENT ? ReadResult::Missing : ReadResult::Failed;
}

// One line of the file without its line end: CR, LF or CR LF, as the
// platform's profile functions take them.
struct Line {
    std::size_t begin = 0;    // offset of the first byte
    std::size_t end = 0;      // offset after the last byte of the text
    std::size_t next = 0;     // offset of the following line
};

class LineCursor {
public:
    explicit LineCursor(std::string_view content) : content_(content) {
        // An editor's UTF-8 byte order mark must not hide the first section.
        if (content_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
    }

    bool Next(Line& line) {
        if (pos_ >= content_.size()) return false;
        std::size_t end = content_.find_first_of("\r\n", pos_);
        if (end == std::string_view::npos) end = content_.size();
        line.begin = pos_;
        line.end = end;
        line.next = end;
        if (line.next < content_.size() && content_[line.next++] == '\r' && line.next < content_.size() &&
            content_[line.next] == '\n')
            ++line.next;
        pos_ = line.next;
        return true;
    }

    std::string_view Text(const Line& line) const {
        return content_.substr(line.begin, line.end - line.begin);
    }

private:
    std::string_view content_;
    std::size_t pos_ = 0;
};

// "[name]" gives the trimmed name; anything else is not a section line.
bool SectionName(std::string_view text, std::string_view& name) {
    std::string_view trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() != '[') return false;
    std::size_t close = trimmed.rfind(']');
    if (close == std::string_view::npos || close == 0) return false;
    name = Trim(trimmed.substr(1, close - 1));
    return true;
}

// "key=value" split at the first '='; comment lines are not key lines.
bool KeyLine(std::string_view text, std::string_view& key, std::string_view& value) {
    std::string_view trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() == ';') return false;
    std::size_t eq = trimmed.find('=');
    if (eq == std::string_view::npos) return false;
    key = Trim(trimmed.substr(0, eq));
    value = Trim(trimmed.substr(eq + 1));
    return true;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// At most bufferSize - 1 bytes, cut back to the start of a UTF-8 character
// the cut would split.
std::string CutToBuffer(std::string_view text, std::size_t bufferSize) {
    std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    if (bufferSize == 0) return {};
    const std::size_t limit = bufferSize - 1;
    if (text.size() <= limit) return std::string(text);
    std::size_t cut = limit;
    std::size_t start = limit;
    while (start > 0 && limit - start < 3 &&
           (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    const unsigned char lead = static_cast<unsigned char>(text[start]);
    if (start < limit && lead >= 0xC0) {
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (start + length > limit) cut = start;
    }
    return std::string(text.substr(0, cut));
}

// Trailing blanks of a default go; an all-blank one gives "".
std::string_view TrimDefault(std::string_view fallback) {
    while (!fallback.empty() && IsBlank(fallback.back())) fallback.remove_suffix(1);
    return fallback;
}

// The line end new lines get: the file's first one, LF for a file without any.
const char* LineEndOf(std::string_view content) {
    const std::size_t end = content.find_first_of("\r\n");
    if (end == std::string_view::npos || content[end] == '\n') return "\n";
    return end + 1 < content.size() && content[end + 1] == '\n' ? "\r\n" : "\r";
}

bool ValidName(std::string_view name) {
    std::string_view trimmed = Trim(name);
    if (trimmed.empty()) return false;
    for (char c : name) {
        if (c == '=' || c == '[' || c == ']' || c == '\r' || c == '\n' || c == '\0') return false;
    }
    return true;
}

}  // namespace

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& fallback, std::size_t bufferSize,
                                    const std::string& path) {
    const std::string_view wantSection = Trim(section);
    const std::string_view wantKey = Trim(key);
    std::string content;
    if (wantSection.empty() || wantKey.empty() ||
        ReadWholeFile(path, content) != ReadResult::Ok)
        return CutToBuffer(TrimDefault(fallback), bufferSize);

    LineCursor cursor(content);
    Line line;
    bool inSection = false;
    bool sectionSeen = false;
    while (cursor.Next(line)) {
        std::string_view text = cursor.Text(line);
        std::string_view name, value;
        if (SectionName(text, name)) {
            // Only the first section of that name counts.
            if (inSection) break;
            if (!sectionSeen && EqualIgnoringAsciiCase(name, wantSection)) inSection = sectionSeen = true;
        } else if (inSection && KeyLine(text, name, value) && EqualIgnoringAsciiCase(name, wantKey)) {
            return CutToBuffer(Unquote(value), bufferSize);
        }
    }
    return CutToBuffer(TrimDefault(fallback), bufferSize);
}

namespace {

// The content with the key set, by the rules of WritePrivateProfileString.
std::string WithKey(const std::string& content, const std::string& section, const std::string& key,
                    const std::string& value) {
    const char* eol = LineEndOf(content);
    std::string valueText;
    valueText.reserve(value.size());
    for (char c : value) valueText += (c == '\r' || c == '\n') ? ' ' : c;
    const std::string keyLine = key + "=" + valueText;

    const std::string_view wantSection = Trim(section);
    const std::string_view wantKey = Trim(key);
    LineCursor cursor(content);
    Line line;
    bool inSection = false;
    bool sectionFound = false;
    Line lastFilled;  // the section's last non-blank line
    std::string result;
    while (cursor.Next(line)) {
        std::string_view text = cursor.Text(line);
        std::string_view name, ignored;
        if (SectionName(text, name)) {
            if (inSection) break;
            if (EqualIgnoringAsciiCase(name, wantSection)) {
                inSection = sectionFound = true;
                lastFilled = line;
            }
        } else if (inSection) {
            if (KeyLine(text, name, ignored) && EqualIgnoringAsciiCase(name, wantKey)) {
                // The user's spelling of the key stays.
                result.reserve(content.size() + valueText.size());
                result.append(content, 0, line.begin);
                result.append(name);
                result += '=';
                result += valueText;
                result.append(content, line.end, std::string::npos);
                return result;
            }
            if (!Trim(text).empty()) lastFilled = line;
        }
    }

    result.reserve(content.size() + keyLine.size() + section.size() + 8);
    if (sectionFound) {
        result.append(content, 0, lastFilled.next);
        if (result.empty() || (result.back() != '\n' && result.back() != '\r')) result += eol;
        result += keyLine;
        result += eol;
        result.append(content, lastFilled.next, std::string::npos);
    } else {
        result = content;
        if (!result.empty() && result.back() != '\n' && result.back() != '\r') result += eol;
        result += "[" + section + "]" + eol + keyLine + eol;
    }
    return result;
}

}  // namespace

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path) {
    return WritePrivateProfileStrings(section, {{key, value}}, path);
}

bool WritePrivateProfileStrings(const std::string& section,
                                const std::vector<std::pair<std::string, std::string>>& keys,
                                const std::string& path) {
    // A ';' key would be written as a comment and never read back.
    if (!ValidName(section)) return false;
    for (const auto& [key, value] : keys)
        if (!ValidName(key) || Trim(key).front() == ';') return false;

    std::string content;
    if (ReadWholeFile(path, content) == ReadResult::Failed) return false;
    for (const auto& [key, value] : keys) content = WithKey(content, section, key, value);
    return ReplaceFileAtomically(path, content);
}

namespace {

// Length-prefixed, so no section and key pair can pass for another.
std::string SnapshotKey(std::string_view section, std::string_view key) {
    const std::string upperSection = AsciiUpper(Trim(section));
    return std::to_string(upperSection.size()) + ':' + upperSection + AsciiUpper(Trim(key));
}

}  // namespace

ProfileSnapshot ProfileSnapshot::Load(const std::string& path) {
    std::string content;
    if (ReadWholeFile(path, content) != ReadResult::Ok) return {};
    return FromText(content);
}

ProfileSnapshot ProfileSnapshot::FromText(const std::string& content) {
    ProfileSnapshot snapshot;
    std::unordered_map<std::string, bool> sectionsSeen;
    LineCursor cursor(content);
    Line line;
    std::string_view section;
    bool inSection = false;
    while (cursor.Next(line)) {
        std::string_view text = cursor.Text(line);
        std::string_view name, value;
        if (SectionName(text, name)) {
            // A later section of the same name is never read.
            inSection = sectionsSeen.emplace(AsciiUpper(name), true).second;
            section = name;
        } else if (inSection && KeyLine(text, name, value)) {
            snapshot.values_.emplace(SnapshotKey(section, name), std::string(Unquote(value)));
        }
    }
    return snapshot;
}

std::string ProfileSnapshot::Get(const std::string& section, const std::string& key,
                                 const std::string& fallback, std::size_t bufferSize) const {
    if (Trim(section).empty() || Trim(key).empty()) return CutToBuffer(TrimDefault(fallback), bufferSize);
    auto found = values_.find(SnapshotKey(section, key));
    return CutToBuffer(found == values_.end() ? TrimDefault(fallback) : std::string_view(found->second),
                       bufferSize);
}

}  // namespace tolvenmark
