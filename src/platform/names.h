#pragma once

#include <string>
#include <string_view>

namespace tolvenmark {

// Key, section and file names are compared in ASCII only, so the result never
// depends on the user's locale.
std::string AsciiUpper(std::string_view text);
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

// The parts of a "/" path: the name after the last "/", and the folder with
// its trailing "/" ("" for a bare name).
std::string FileNameOf(const std::string& path);
std::string FolderWithSlash(const std::string& path);

}  // namespace tolvenmark
