#include "platform/launcher.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvenmark {

namespace {

bool CanRun(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string ExistingPath(const std::string& path) {
    if (path.empty()) return "";
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? path : "";
}

std::string FindProgram(const std::string& name) {
    if (name.empty()) return "";
    if (name.find('/') != std::string::npos) return CanRun(name) ? name : "";
    const char* env = std::getenv("PATH");
    const std::string pathVar = env ? env : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= pathVar.size()) {
        std::size_t end = pathVar.find(':', start);
        if (end == std::string::npos) end = pathVar.size();
        const std::string dir = end > start ? pathVar.substr(start, end - start) : ".";
        const std::string candidate = dir + "/" + name;
        if (CanRun(candidate)) return candidate;
        start = end + 1;
    }
    return "";
}

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else if (c == '\'') {
            inWord = true;
            const std::size_t close = line.find('\'', i + 1);
            const std::size_t end = close == std::string::npos ? line.size() : close;
            word.append(line, i + 1, end - i - 1);
            i = end;
        } else if (c == '"') {
            inWord = true;
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size() &&
                    (line[i + 1] == '"' || line[i + 1] == '\\' || line[i + 1] == '$' || line[i + 1] == '`'))
                    ++i;
                word += line[i];
            }
        } else if (c == '\\') {
            inWord = true;
            if (i + 1 < line.size()) word += line[++i];
        } else {
            inWord = true;
            word += c;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

}  // namespace tolvenmark
