#include "app/application.h"

#include <exception>

#include "platform/prompts.h"

namespace tolvenmark {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(kApplicationTitle);
    setApplicationDisplayName(kApplicationTitle);
    setApplicationVersion(TOLVENMARK_VERSION);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleException();
        return true;
    }
}

void HandleException() {
    try {
        throw;
    } catch (const std::exception& e) {
        AppPrompts().Error(e.what());
    } catch (...) {
        AppPrompts().Error("Unknown error");
    }
}

}  // namespace tolvenmark
