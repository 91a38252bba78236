#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/prompts.h"

namespace tolvenmark::fuzzing {

// Message boxes answered at once, so a run never waits for a user.
class SilentPrompts final : public Prompts {
public:
    void Error(const std::string&) override {}
    void Warning(const std::string&) override {}
    void Information(const std::string&) override {}
    bool Confirm(const std::string&) override { return true; }
    ConfirmAnswer ConfirmAll(const std::string&) override { return ConfirmAnswer::Yes; }
    void PlainBox(const std::string&) override {}
};

// A fresh folder /tmp/tolvenmark-NAME-fuzz-XXXXXX for one fuzzing process.
inline std::string MakeFuzzRoot(const std::string& name) {
    std::string pattern = "/tmp/tolvenmark-" + name + "-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern;
}

// The same with "skin" and "tmp" inside it; TMPDIR points at "tmp", where
// unpacked skins land.
inline std::string MakeSkinFuzzRoot(const std::string& name) {
    const std::string dir = MakeFuzzRoot(name);
    std::filesystem::create_directory(dir + "/skin");
    std::filesystem::create_directory(dir + "/tmp");
    setenv("TMPDIR", (dir + "/tmp").c_str(), 1);
    return dir;
}

}  // namespace tolvenmark::fuzzing
