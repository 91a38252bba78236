#include "clock/bring_back.h"

#include <QGuiApplication>
#include <QWidget>

namespace tolvenmark {

void BringBack(QWidget& window) {
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        // Whether the compositor minimised it or merely hid it behind others
        // is not told to the program: a window shown anew is in front.
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        if (window.isVisible()) window.hide();
        window.show();
    } else {
        window.showNormal();
    }
    window.raise();
    window.activateWindow();
}

}  // namespace tolvenmark
