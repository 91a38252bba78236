#include "setup/config_keys.h"

#include "platform/profile_file.h"

namespace tolvenmark {

std::string ProfileConfigKeys::Read(const std::string& key) const {
    return GetPrivateProfileString("ALARM", key, "", 255, path_);
}

void ProfileConfigKeys::Write(const std::string& key, const std::string& value) {
    WritePrivateProfileString("ALARM", key, value, path_);
}

}  // namespace tolvenmark
