// A FIFO (which would wait for a writer for ever) or a device (which never
// ends) put where the program expects a file: every reader refuses it at
// once with its own message.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "bin/bin_files.h"
#include "clock/date_migration_journal.h"
#include "platform/file_faults.h"
#include "platform/profile_file.h"
#include "skin/packed_skin.h"
#include "skin/skin_location.h"
#include "skin/skin_pack.h"
#include "skin/skin_picture.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

struct SpecialFileCase {
    const char* reader;
    const char* fileName;
    std::function<void(const std::string& path)> read;
    std::string said;  // "<path>" stands for the file
};

std::string Said(const std::function<void()>& read) {
    try {
        read();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(read)";
}

TEST(SpecialFileTest, EveryReaderRefusesAFifoOrADevice) {
    testing::TempDir dir;
    const SpecialFileCase cases[] = {
        {"date-change journal", "TOLVENMARKCLOCK.INI.date-change", [](auto& p) { ReadMigrationJournal(p); },
         "The file : <path> cannot be read.\r\nNot a regular file"},
        {"saved alarms", "Alarms.txt", [](auto& p) { LoadSavedAlarms(p); }, "Not a regular file"},
        {"storage bin append", "StorageBin.txt", [](auto& p) { AppendFileSetting(p, {"a.mp3", "", ""}); },
         "Not a regular file"},
        {"configuration", "TOLVENMARKCLOCK.INI",
         [](auto& p) {
             if (!CanReadFile(p)) throw std::runtime_error(InOutErrorMessage(errno));
         },
         "Not a regular file"},
        {"profile key", "x.ini", [](auto& p) { throw std::runtime_error(GetPrivateProfileString("A", "k", "unread", 255, p)); },
         "unread"},
        {"skin file", "skin.ini", [](auto& p) { LoadSkinIni(p, "shown"); }, "Cannot open file shown"},
        {"skin image", "face.bmp", [](auto& p) { QImage image; LoadSkinImage(p, image); }, "Cannot open file <path>"},
        {"packed skin", "a.skn", [&](auto& p) { UnpackSkin(p, dir.File("out")); }, "Not a regular file"},
        {"packed skin listing", "b.skn", [](auto& p) { ListPackedSkin(p); },
         "cannot open \"<path>\": not a regular file"},
    };
    for (const bool fifo : {true, false}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.reader) + (fifo ? " on a FIFO" : " on a link to /dev/zero"));
            const std::string path = dir.File(c.fileName);
            std::filesystem::remove(path);
            ASSERT_EQ(fifo ? ::mkfifo(path.c_str(), 0600) : ::symlink("/dev/zero", path.c_str()), 0);
            std::string said = c.said;
            if (const std::size_t at = said.find("<path>"); at != std::string::npos) said.replace(at, 6, path);
            EXPECT_EQ(Said([&] { c.read(path); }), said);
        }
    }
}

}  // namespace
}  // namespace tolvenmark
