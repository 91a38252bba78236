#pragma once

#include <QApplication>

namespace tolvenmark::testing {

// Painting text and creating widgets need the application object; the test
// program's main is gmock's, so the first test that needs one makes it.
inline void EnsureGuiApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "skin_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives until the process ends
}

}  // namespace tolvenmark::testing
