#include "clock/config.h"

#include "clock/date_order.h"
#include "platform/date_time_text.h"
#include "platform/folders.h"
#include "platform/profile_file.h"

namespace tolvenmark {

namespace {

constexpr const char* kSection = "ALARM";
constexpr std::size_t kValueBuffer = 255;

std::string& Path() {
    static std::string path;
    return path;
}

}  // namespace

const std::string& ConfigPath() { return Path(); }

void SetConfigPath(const std::string& path) { Path() = path; }

std::string DefaultConfigPath() { return WindowsDirectory() + "/TOLVENMARKCLOCK.INI"; }

std::string ReadConfigKey(const std::string& key) {
    return GetPrivateProfileString(kSection, key, "", kValueBuffer, ConfigPath());
}

void WriteConfigKey(const std::string& key, const std::string& value) {
    WritePrivateProfileString(kSection, key, value, ConfigPath());
}

void RecordDateFormat(const RegionalSettings& settings) {
    WriteConfigKey("ALFORMAT", std::to_string(CheckDateFormat(settings.shortDateFormat)));
    WriteConfigKey("ALDATESEP", settings.dateSeparator);
}

}  // namespace tolvenmark

namespace tolvenmark {

int ConfigNumber(const std::string& text, int fallback) {
    return StrToIntDef(text, fallback);
}

}  // namespace tolvenmark
