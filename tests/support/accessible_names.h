#pragma once

#include <string>
#include <vector>

#include <QAccessible>
#include <QWidget>

namespace tolvenmark::testing {

// What a screen reader user meets going through a window by Tab that is
// wrong: a control without a name (or one showing a mnemonic's "&"), and a
// step that goes back up and to the left against the layout.
inline std::vector<std::string> FocusChainFaults(QWidget& window) {
    std::vector<std::string> faults;
    QPoint last(-1, -1);
    for (QWidget* w = window.nextInFocusChain(); w && w != &window; w = w->nextInFocusChain()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(&window) || !w->isEnabledTo(&window)) continue;
        // The edit inside a spin box is the spin box's own.
        if (w->parentWidget() && (w->parentWidget()->focusPolicy() & Qt::TabFocus)) continue;
        const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        const QPoint at = w->mapTo(&window, QPoint(0, 0));
        const std::string what = std::string(w->metaObject()->className()) + " \"" + name.toStdString() + "\" at " +
                                 std::to_string(at.x()) + "," + std::to_string(at.y());
        if (name.trimmed().isEmpty() || name.contains('&')) faults.push_back("unnamed " + what);
        if (at.x() < last.x() && at.y() < last.y()) faults.push_back("Tab goes back to " + what);
        last = at;
    }
    return faults;
}

}  // namespace tolvenmark::testing
