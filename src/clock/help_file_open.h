#pragma once

#include <string>

class QProcess;

namespace tolvenmark {

// Shows the guide with the desktop's opener, without waiting for it. A guide
// that is missing, an opener that cannot start or that ends in failure gets
// a warning naming the file. The opener's process while it runs, else null.
QProcess* OpenHelpFile(const std::string& path, const std::string& opener = "xdg-open");

}  // namespace tolvenmark
