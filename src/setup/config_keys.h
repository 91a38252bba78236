#pragma once

#include <string>

#include "bin/config_keys.h"

namespace tolvenmark {

// Section "ALARM" of the INI file at path, read and written by the profile rules.
ConfigKeys ProfileConfigKeys(const std::string& path);

}  // namespace tolvenmark
