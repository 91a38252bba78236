#pragma once

#include <functional>
#include <string>

namespace tolvenmark {

// The configuration keys of section "ALARM", handed in by the window that
// opens a dialog (the key access itself sits above this library).
struct ConfigKeys {
    std::function<std::string(const std::string& key)> read;
    std::function<void(const std::string& key, const std::string& value)> write;
};

}  // namespace tolvenmark
