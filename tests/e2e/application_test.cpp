#include "app/application.h"

#include <stdexcept>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <gtest/gtest.h>

#include "platform/conversion_error.h"
#include "support/scripted_prompts.h"

namespace tolvenmark {
namespace {

// A handler that fails the way a bad date text would.
class ThrowingObject : public QObject {
public:
    int handled = 0;
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        ++handled;
        throw ConversionError("'31.2.' is not a valid date");
    }
};

TEST(GeneralErrorHandlerTest, ShowsTheTextAndTheProgramGoesOn) {
    int argc = 1;
    char name[] = "tolvenmark-clock";
    char* argv[] = {name, nullptr};
    TApplication app(argc, argv);
    testing::ScriptedPrompts prompts;
    testing::ScopedAppPrompts scoped(prompts);

    ThrowingObject target;
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::processEvents();

    EXPECT_EQ(target.handled, 2);
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0], "Error: '31.2.' is not a valid date");
}

}  // namespace
}  // namespace tolvenmark
