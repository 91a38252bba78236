#pragma once

#include <cstddef>
#include <string>

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

}  // namespace tolvenmark
