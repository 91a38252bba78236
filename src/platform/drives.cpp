#include "platform/drives.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "platform/folders.h"
#include "platform/regular_file.h"

namespace tolvenmark {

namespace {

// A to C belong to floppies and the system disk. A drive keeps its letter
// (sr0 D, sr1 E, ...) when another one is unplugged, so a stored letter still
// names the same drive.
constexpr char kFirstLetter = 'D';

// "sr12" -> 12; -1 for any other name.
long DeviceNumber(const std::string& name) {
    if (name.size() < 3 || name.compare(0, 2, "sr") != 0 || name.size() > 11) return -1;
    if (name[2] == '0' && name.size() > 3) return -1;  // one device, one name
    long number = 0;
    for (std::size_t i = 2; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

// Device numbers of the optical drives that get a letter, ascending.
std::vector<long> OpticalDevices(const std::string& sysRoot) {
    std::vector<long> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(sysRoot + "/class/block", ec), end; !ec && it != end;
         it.increment(ec)) {
        const long number = DeviceNumber(it->path().filename().string());
        if (number >= 0 && number <= 'Z' - kFirstLetter) found.push_back(number);
    }
    std::sort(found.begin(), found.end());
    return found;
}

bool IsOctal(char ch) { return ch >= '0' && ch <= '7'; }

// Octal escapes (\040 for a blank) as the mounts table writes them.
std::string UnescapeMountField(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) && field[i + 1] <= '3' &&
            IsOctal(field[i + 2]) && IsOctal(field[i + 3])) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

}  // namespace

std::vector<std::string> OpticalDriveRoots(const std::string& sysRoot) {
    std::vector<std::string> roots;
    for (long number : OpticalDevices(sysRoot))
        roots.push_back(std::string(1, static_cast<char>(kFirstLetter + number)) + ":\\");
    return roots;
}

std::string OpticalDriveDevice(const std::string& drive, const std::string& sysRoot) {
    if (drive.empty()) return "";
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0])));
    if (letter < kFirstLetter || letter > 'Z') return "";
    const std::vector<long> devices = OpticalDevices(sysRoot);
    const long number = letter - kFirstLetter;
    if (std::find(devices.begin(), devices.end(), number) == devices.end()) return "";
    return "sr" + std::to_string(number);
}

std::string MountPointIn(std::string_view table, const std::string& device) {
    std::istringstream lines{std::string(table)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string source, target;
        if (!(fields >> source >> target)) continue;
        if (UnescapeMountField(source) == "/dev/" + device) return UnescapeMountField(target);
    }
    return "";
}

std::string ResolveDrivePath(const std::string& path, const std::string& sysRoot, const std::string& mountsFile) {
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\') return path;
    const std::string device = OpticalDriveDevice(path.substr(0, 1), sysRoot);
    if (device.empty()) return path;
    std::string table;
    ReadRegularFile(mountsFile, table);
    std::string mountPoint = MountPointIn(table, device);
    if (mountPoint.empty()) return path;
    if (mountPoint.back() != '/') mountPoint += '/';
    // Disc file systems show their names in upper or lower case whatever the
    // stored path says.
    std::string folder = mountPoint;
    std::size_t start = 3;
    for (std::size_t end; (end = path.find('\\', start)) != std::string::npos; start = end + 1)
        folder += FindFolderIgnoringCase(folder, path.substr(start, end - start)) + '/';
    return FindFileIgnoringCase(folder + path.substr(start));
}

}  // namespace tolvenmark
