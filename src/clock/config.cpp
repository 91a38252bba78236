#include "clock/config.h"

#include <algorithm>
#include <cerrno>

#include "bin/bin_files.h"
#include "clock/date_order.h"
#include "platform/conversion_error.h"
#include "platform/date_time_text.h"
#include "platform/folders.h"
#include "setup/launch_rules.h"
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

void WriteConfigKeyChecked(const std::string& key, const std::string& value) {
    WriteConfigKeysChecked({{key, value}});
}

bool WriteConfigKeys(const ConfigKeyValues& keys) { return WritePrivateProfileStrings(kSection, keys, ConfigPath()); }

void WriteConfigKeysChecked(const ConfigKeyValues& keys) {
    errno = 0;
    if (!WriteConfigKeys(keys)) throw OperationError(FileWriteError(ConfigPath(), errno ? errno : EIO));
}

void RecordDateFormat(const RegionalSettings& settings) {
    const std::string code = std::to_string(CheckDateFormat(settings.shortDateFormat));
    // Each start records it; when it reads back the same already, rewriting
    // the file would only wait on the disk before the first frame.
    if (ReadConfigKey("ALFORMAT") == code && ReadConfigKey("ALDATESEP") == settings.dateSeparator) return;
    (void)WriteConfigKeys({{"ALFORMAT", code}, {"ALDATESEP", settings.dateSeparator}});
}

void RecordDateFormatChecked(const RegionalSettings& settings) {
    WriteConfigKeysChecked({{"ALFORMAT", std::to_string(CheckDateFormat(settings.shortDateFormat))},
                            {"ALDATESEP", settings.dateSeparator}});
}

std::string FileWriteError(const std::string& path, int errorNumber) {
    return FileWriteError(path, InOutErrorMessage(errorNumber));
}

std::string FileWriteError(const std::string& path, const std::string& reason) {
    return "The file : " + path + " cannot be written.\r\n" + reason;
}

std::string FileReadError(const std::string& path, int errorNumber) {
    return "The file : " + path + " cannot be read.\r\n" + InOutErrorMessage(errorNumber);
}

int ConfigNumber(const std::string& text, int fallback) { return StrToIntDef(text, fallback); }

int SnoozeMinutes() { return SnoozeMinutes(ReadConfigKey("SNOOZEMIN")); }

int WaitSeconds() { return WaitSeconds(ReadConfigKey("WAIT")); }

}  // namespace tolvenmark
