#pragma once

#include <string>

namespace tolvenmark {

// The configuration section "ALARM" as the setup dialogs read and write it,
// one key per call. The clock hands in its own configuration file.
class ConfigKeys {
public:
    virtual ~ConfigKeys() = default;
    virtual std::string Read(const std::string& key) const = 0;  // at most 254 bytes, "" when missing
    virtual void Write(const std::string& key, const std::string& value) = 0;
};

// Section "ALARM" of the INI file at path, read and written by the profile rules.
class ProfileConfigKeys final : public ConfigKeys {
public:
    explicit ProfileConfigKeys(std::string path) : path_(std::move(path)) {}
    std::string Read(const std::string& key) const override;
    void Write(const std::string& key, const std::string& value) override;

private:
    std::string path_;
};

}  // namespace tolvenmark
