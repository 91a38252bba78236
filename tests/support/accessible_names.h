#pragma once

#include <string>
#include <vector>

#include <QAccessible>
#include <QWidget>

namespace tolvenmark::testing {

// A window's controls as a screen reader meets them by Tab: each with its
// accessible name, in the focus chain's order. A control whose focus goes to
// an inner one (a spin box's edit) counts once, as itself.
inline std::vector<std::string> NamedFocusChain(QWidget& window) {
    std::vector<std::string> chain;
    for (QWidget* w = window.nextInFocusChain(); w && w != &window; w = w->nextInFocusChain()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(&window) || !w->isEnabledTo(&window)) continue;
        QWidget* parent = w->parentWidget();
        if (parent && parent->focusProxy() == w) w = parent;
        const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        chain.push_back(name.toStdString());
    }
    return chain;
}

}  // namespace tolvenmark::testing
