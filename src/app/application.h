#pragma once

#include <QApplication>

namespace tolvenmark {

// The application object. Its event dispatch is the general error handler:
// an exception thrown out of any event handler ends that operation and its
// text is shown in an error box; the program goes on.
class TApplication final : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the text of the exception being handled in an error box.
void HandleException();

}  // namespace tolvenmark
