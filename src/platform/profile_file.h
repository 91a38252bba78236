#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tolvenmark {

// INI files read and written one key per call, as the private-profile
// functions do: names match without regard to case, the first matching
// section and key win, blanks around a value are dropped, one pair of
// enclosing quotes is removed, and the answer holds at most bufferSize - 1
// bytes (never a split UTF-8 character). A missing file or key gives fallback.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& fallback, std::size_t bufferSize,
                                    const std::string& path);

// Replaces the key's value in place, or adds the key at the end of its
// section, or the section at the end of the file. Comments, blank lines,
// unknown lines and line ends survive. The file is replaced atomically; on
// failure it stays as it was and false is returned.
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path);

// Several keys in one replacement of the file: all of them or none.
bool WritePrivateProfileStrings(const std::string& section,
                                const std::vector<std::pair<std::string, std::string>>& keys,
                                const std::string& path);

// One file read once and answering any number of reads exactly as
// GetPrivateProfileString would: a skin asks for thousands of keys, and a
// large hostile file must not be read again for each of them.
class ProfileSnapshot {
public:
    // A missing or unreadable file answers every read with its fallback.
    static ProfileSnapshot Load(const std::string& path);
    static ProfileSnapshot FromText(const std::string& content);

    std::string Get(const std::string& section, const std::string& key, const std::string& fallback,
                    std::size_t bufferSize) const;

private:
    // Upper-cased section and key -> the value of the first match, unquoted.
    std::unordered_map<std::string, std::string> values_;
};

}  // namespace tolvenmark
