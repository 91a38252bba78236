// Rewrites one file over and over through the program's own writers, so that
// bench/kill_loops/kill_loop.sh can kill it at any moment of a write, and
// checks afterwards that the file is exactly the last or the next version.
//
//   kill_write_loop init  KIND DIR        the file as version 0
//   kill_write_loop write KIND DIR [N]    versions 1, 2, ... (N of them, else
//                                         forever); after each, its number
//                                         goes to standard output as a line
//   kill_write_loop check KIND DIR LAST   the file is version LAST or LAST+1,
//                                         nothing else is in DIR once the
//                                         start-up's cleanup has run; then
//                                         init again. Prints "old|new TEMPS".
//
// KIND: config (one key of the configuration), append and rewrite
// ("Alarms.txt"), storage ("StorageBin.txt").
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "bin/bin_files.h"
#include "clock/config.h"
#include "platform/folders.h"

namespace fs = std::filesystem;
using namespace tolvenmark;

namespace {

const char* kBaseConfig =
    "[ALARM]\r\nAPPPATH=/nowhere\r\nVERSION=1.1\r\n; a comment that stays\r\nALHEADER=Wake up\r\n"
    "ALDATE=1/5/2027\r\nALTIME=7:00:00 AM\r\nSNOOZE=Yes\r\n\r\n[OTHER]\r\nX=1\r\n";

std::string FileName(const std::string& kind) {
    if (kind == "config") return "TOLVENMARKCLOCK.INI";
    if (kind == "storage") return "StorageBin.txt";
    return "Alarms.txt";
}

SavedAlarm Alarm(long i, long version) {
    return {"Alarm " + std::to_string(i) + " v" + std::to_string(version),
            std::to_string(i % 12 + 1) + "/" + std::to_string(i % 28 + 1) + "/2027",
            std::to_string(i % 12 + 1) + ":" + std::to_string(10 + i % 50) + ":00 AM"};
}

// Lengths change from version to version, so a cut or a mixed file shows.
SavedAlarmList AlarmsOf(long version) {
    SavedAlarmList alarms;
    for (long i = 0; i < 300 + version % 7; ++i) alarms.push_back(Alarm(i, version));
    return alarms;
}

FileSettingList SettingsOf(long version) {
    FileSettingList settings;
    for (long i = 0; i < 100 + version % 5; ++i) {
        if (i % 3 == 0)
            settings.push_back({"Message " + std::to_string(i) + " v" + std::to_string(version), "Text Message",
                                "MESSAGE"});
        else
            settings.push_back({"/music/track" + std::to_string(i) + "-" + std::to_string(version) + ".mp3", "",
                                "CUSTOM"});
    }
    return settings;
}

std::string ConfigValue(long version) { return "Wake up " + std::string(version % 9, '!') + std::to_string(version); }

void WriteBase(const std::string& kind, const std::string& path) {
    if (kind == "config") {
        std::ofstream(path, std::ios::binary) << kBaseConfig;
    } else if (kind == "append") {
        fs::remove(path);
        SavedAlarmList base;
        for (long i = 0; i < 100; ++i) base.push_back(Alarm(i, 0));
        AppendSavedAlarms(path, base);
    } else if (kind == "rewrite") {
        RewriteSavedAlarms(path, AlarmsOf(0));
    } else {
        RewriteFileSettings(path, SettingsOf(0));
    }
}

// One write of the real code, taking the file from version - 1 to version.
void WriteVersion(const std::string& kind, const std::string& path, long version) {
    if (kind == "config") {
        SetConfigPath(path);
        WriteConfigKeyChecked("ALHEADER", ConfigValue(version));
    } else if (kind == "append") {
        AppendSavedAlarm(path, Alarm(100 + version, version));
    } else if (kind == "rewrite") {
        RewriteSavedAlarms(path, AlarmsOf(version));
    } else {
        RewriteFileSettings(path, SettingsOf(version));
    }
}

// The exact bytes of a version, made by the same code in a scratch folder.
std::string VersionBytes(const std::string& kind, const std::string& scratch, long version) {
    const std::string path = scratch + "/" + FileName(kind);
    WriteBase(kind, path);
    if (version > 0) {
        if (kind == "append") {
            SavedAlarmList added;
            for (long v = 1; v <= version; ++v) added.push_back(Alarm(100 + v, v));
            AppendSavedAlarms(path, added);
        } else {
            WriteVersion(kind, path, version);
        }
    }
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

int Check(const std::string& kind, const std::string& dir, long last) {
    const std::string name = FileName(kind);
    const std::string path = dir + "/" + name;
    std::ifstream in(path, std::ios::binary);
    const std::string actual{std::istreambuf_iterator<char>(in), {}};

    const std::string scratch = dir + ".scratch";
    fs::create_directories(scratch);
    const char* verdict = nullptr;
    if (actual == VersionBytes(kind, scratch, last)) verdict = "old";
    else if (actual == VersionBytes(kind, scratch, last + 1)) verdict = "new";
    fs::remove_all(scratch);

    int temps = 0;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename() != name) ++temps;
    RemoveStaleTempFiles(dir, name);  // what the start-up does
    int left = 0;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename() != name) {
            std::cerr << "left behind: " << entry.path() << '\n';
            ++left;
        }
    if (!verdict) {
        std::cerr << kind << ": the file is neither version " << last << " nor " << last + 1 << " ("
                  << actual.size() << " bytes)\n";
        fs::copy_file(path, dir + ".bad", fs::copy_options::overwrite_existing);
    }
    std::cout << (verdict ? verdict : "wrong") << ' ' << temps << '\n';
    WriteBase(kind, path);
    return verdict && left == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: kill_write_loop init|write|check KIND DIR [N|LAST]\n";
        return 2;
    }
    const std::string command = argv[1], kind = argv[2], dir = argv[3];
    const std::string path = dir + "/" + FileName(kind);
    try {
        if (command == "init") {
            WriteBase(kind, path);
            return 0;
        }
        if (command == "check") return Check(kind, dir, argc > 4 ? std::atol(argv[4]) : 0);
        const long count = argc > 4 ? std::atol(argv[4]) : -1;
        for (long version = 1; count < 0 || version <= count; ++version) {
            WriteVersion(kind, path, version);
            const std::string line = std::to_string(version) + "\n";
            if (::write(1, line.data(), line.size()) < 0) return 1;
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
