#pragma once

#include <QIcon>

namespace tolvenmark {

// A plain clock face: the tray, the window list and every dialog's title bar.
QIcon ClockIcon();

}  // namespace tolvenmark
