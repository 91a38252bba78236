#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/prompts.h"

namespace tolvenmark::fuzzing {

using tolvenmark::SilentPrompts;

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
