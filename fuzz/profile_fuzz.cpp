// Profile files downloaded with skins or edited by hand: any bytes must read
// without a crash, and a write must read back as written while every other
// key keeps its value.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/profile_file.h"

namespace {

const std::string& FuzzFile() {
    static const std::string path = [] {
        char pattern[] = "/tmp/tolvenmark-profile-fuzz-XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        return std::string(pattern) + "/t.ini";
    }();
    static const bool cleanupRegistered = [] {
        std::atexit([] {
            std::remove(path.c_str());
            rmdir(path.substr(0, path.rfind('/')).c_str());
        });
        return true;
    }();
    (void)cleanupRegistered;
    return path;
}

void WriteBytes(const std::string& path, const std::string& content) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return text;
}

// What a read of a freshly written value must give.
std::string ExpectedRead(std::string value, std::size_t bufferSize) {
    for (char& c : value)
        if (c == '\r' || c == '\n') c = ' ';
    value = Trim(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    value = value.substr(0, value.find('\0'));
    if (value.size() < bufferSize) return value;
    std::size_t cut = bufferSize - 1;
    while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80 && bufferSize - 1 - cut < 3) --cut;
    const unsigned char lead = static_cast<unsigned char>(value[cut]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (cut < bufferSize - 1 && lead >= 0xC0 && cut + length > bufferSize - 1) return value.substr(0, cut);
    return value.substr(0, bufferSize - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using tolvenmark::GetPrivateProfileString;
    using tolvenmark::WritePrivateProfileString;
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(16);
    const std::string key = input.ConsumeRandomLengthString(16);
    const std::string otherKey = input.ConsumeRandomLengthString(16);
    const std::string value = input.ConsumeRandomLengthString(300);
    const std::size_t bufferSize = input.ConsumeIntegralInRange<std::size_t>(0, 300);
    const std::string content = input.ConsumeRemainingBytesAsString();

    const std::string& path = FuzzFile();
    WriteBytes(path, content);
    const std::string otherBefore = GetPrivateProfileString(section, otherKey, "?", 2048, path);
    // The file read once must answer exactly as the reader does.
    const auto snapshot = tolvenmark::ProfileSnapshot::FromText(content);
    if (snapshot.Get(section, otherKey, "?", 2048) != otherBefore) std::abort();
    if (snapshot.Get(section, key, "", bufferSize) != GetPrivateProfileString(section, key, "", bufferSize, path))
        std::abort();

    if (!WritePrivateProfileString(section, key, value, path)) return 0;
    if (GetPrivateProfileString(section, key, "?", 2048, path) != ExpectedRead(value, 2048)) std::abort();
    if (bufferSize > 0 &&
        GetPrivateProfileString(section, key, "?", bufferSize, path) != ExpectedRead(value, bufferSize))
        std::abort();
    if (Upper(Trim(otherKey)) != Upper(Trim(key)) &&
        GetPrivateProfileString(section, otherKey, "?", 2048, path) != otherBefore)
        std::abort();
    return 0;
}
