#include "skin/skin_viewer.h"

#include <cstdio>
#include <exception>
#include <memory>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QScreen>
#include <QWidget>

#include "platform/folders.h"
#include "platform/prompts.h"
#include "skin/skin_form.h"

namespace tolvenmark {

namespace {

// Ends the viewer's loop however the window is closed.
class CloseWatcher : public QObject {
public:
    explicit CloseWatcher(QEventLoop& loop) : loop_(loop) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) loop_.quit();
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop& loop_;
};

}  // namespace

// A skin tried from a terminal answers there; a box would outlive the question.
void SayProblem(const std::string& text) { std::fprintf(stderr, "tolvenmark-clock: %s\n", text.c_str()); }

int ShowSkinWindow(const std::string& skinFileOrEmpty) {
    std::unique_ptr<QApplication> ownApp;
    if (!QApplication::instance()) {
        static int argc = 1;
        static char name[] = "tolvenmark-clock";
        static char* argv[] = {name, nullptr};
        ownApp = std::make_unique<QApplication>(argc, argv);
    }

    QWidget window;
    window.setWindowTitle(QString::fromUtf8(kApplicationTitle));
    window.setWindowFlag(Qt::FramelessWindowHint, true);
    window.setAttribute(Qt::WA_TranslucentBackground, true);
    auto* skin = new TSkinForm(&window);

    // A file that is not there would be read as an empty skin of no version.
    if (!skinFileOrEmpty.empty() && !FileExists(skinFileOrEmpty)) {
        SayProblem("Cannot open file " + skinFileOrEmpty);
        return 1;
    }
    try {
        if (skinFileOrEmpty.empty())
            skin->LoadDefaultSkin();
        else
            skin->LoadSkin(skinFileOrEmpty);
    } catch (const std::exception& error) {
        SayProblem(error.what());
        return 1;
    }

    QEventLoop loop;
    skin->OnMouseUpNotify = [&](const std::string& id, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        if (id == "EXIT")
            window.close();
        else if (id == "MINIMIZE")
            window.showMinimized();
    };
    CloseWatcher watcher(loop);
    window.installEventFilter(&watcher);

    if (const QScreen* screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    window.show();
    loop.exec();
    return 0;
}

}  // namespace tolvenmark
