#pragma once

#include <functional>
#include <string>

namespace tolvenmark {

// The configuration keys of section "ALARM", handed in by the window that
// opens a dialog; the clock's own access to its file is clock/config.h.
struct ConfigKeys {
    std::function<std::string(const std::string& key)> read;
    std::function<void(const std::string& key, const std::string& value)> write;
};

// Section "ALARM" of the INI file at path, read and written by the profile rules.
ConfigKeys ProfileConfigKeys(const std::string& path);

}  // namespace tolvenmark
