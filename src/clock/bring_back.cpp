#include "clock/bring_back.h"

#include <QGuiApplication>
#include <QWidget>

namespace tolvenmark {

namespace {

bool OnWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

}  // namespace

void Minimize(QWidget& window) {
    if (OnWayland())
        window.setWindowState((window.windowState() & ~Qt::WindowMinimized));
    else if (window.isMinimized())
        return;
    window.showMinimized();
}

void BringBack(QWidget& window) {
    if (OnWayland()) {
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
