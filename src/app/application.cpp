#include "app/application.h"

#include <exception>

#include <QFont>
#include <QStringList>

#include "platform/prompts.h"

namespace tolvenmark {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(kApplicationTitle);
    // No display name, not even once: the window system would append it to every caption.
    // The desktop knows the program by its entry and its application name.
    setDesktopFileName(QStringLiteral("tolvenmark-clock"));
    setApplicationVersion(TOLVENMARK_VERSION);
    // The dialogs' fixed places were made for an 8-point sans serif at 96
    // dots per inch; the desktop's wider default font cuts their labels.
    QFont dialogFont(QStringList{QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")});
    dialogFont.setPixelSize(11);
    setFont(dialogFont);
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
