#include "platform/config_keys.h"

#include "platform/profile_file.h"

namespace tolvenmark {

ConfigKeys ProfileConfigKeys(const std::string& path) {
    return {[path](const std::string& key) { return GetPrivateProfileString("ALARM", key, "", 255, path); },
            [path](const std::string& key, const std::string& value) {
                WritePrivateProfileString("ALARM", key, value, path);
            }};
}

}  // namespace tolvenmark
