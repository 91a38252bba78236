#include "platform/prompts.h"

#include <cstdlib>
#include <functional>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include "support/gui_app.h"

namespace tolvenmark {
namespace {

struct SeenBox {
    QString title;
    QString text;
    QStringList buttons;
    Qt::TextFormat format = Qt::AutoText;
    bool icon = false;
    int spareWidth = 0;  // the box's width beyond its caption's
};

class QtPromptsTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnsureGuiApplication();
        unsetenv("TOLVENMARK_PROMPTS");
        prompts = MakeDesktopPrompts();
    }
    void TearDown() override { setenv("TOLVENMARK_PROMPTS", "stderr", 1); }

    // Runs the prompt while a timer answers its box.
    template <typename Call>
    SeenBox Run(const QString& press, Call call) {
        auto seen = std::make_shared<SeenBox>();
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&poll, seen, press] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            poll.stop();
            seen->title = box->windowTitle();
            seen->text = box->text();
            seen->format = box->textFormat();
            seen->icon = !box->windowIcon().isNull();
            box->adjustSize();
            seen->spareWidth = box->width() - QFontMetrics(QApplication::font("QMdiSubWindowTitleBar"))
                                                  .horizontalAdvance(box->windowTitle());
            QAbstractButton* chosen = nullptr;
            for (QAbstractButton* button : box->buttons()) {
                seen->buttons << button->text();
                if (button->text() == press) chosen = button;
            }
            if (chosen) chosen->click();
        });
        poll.start(10);
        call();
        return *seen;
    }

    std::unique_ptr<Prompts> prompts;
};

TEST_F(QtPromptsTest, LineBreaksOfTheSystemTextsAreShown) {
    const SeenBox box = Run("OK", [&] { prompts->Information("The Skin File is an older version.\rPlease update it."); });
    EXPECT_EQ(box.title, "Information");
    EXPECT_EQ(box.text, "The Skin File is an older version.\nPlease update it.");

    const SeenBox error = Run("OK", [&] { prompts->Error("a\r\nb"); });
    EXPECT_EQ(error.title, "Error");
    EXPECT_EQ(error.text, "a\nb");
}

TEST_F(QtPromptsTest, ConfirmationsHaveTheSystemsButtons) {
    bool yes = false;
    SeenBox box = Run("&No", [&] { yes = prompts->Confirm("Delete?"); });
    EXPECT_EQ(box.title, "Confirm");
    EXPECT_EQ(box.buttons.size(), 2);
    EXPECT_TRUE(box.buttons.contains("&Yes") && box.buttons.contains("&No"));
    EXPECT_FALSE(yes);

    ConfirmAnswer answer = ConfirmAnswer::No;
    box = Run("Yes to &All", [&] { answer = prompts->ConfirmAll("Delete this one?"); });
    EXPECT_EQ(box.buttons, (QStringList{"&Yes", "&No", "Yes to &All"}));
    EXPECT_EQ(answer, ConfirmAnswer::YesToAll);
}

// Qt appends " — " and the display name to every later window's title once
// the display name was set, even to what it was. A text message alarm's "<b>" is shown as typed; a short text still leaves
// room in the title bar for the whole caption and the window buttons.
TEST_F(QtPromptsTest, CaptionsWholeWithoutSuffixTextPlainAndTheClocksIcon) {
    const std::vector<std::pair<QString, std::function<void()>>> boxes{
        {"OK", [&] { prompts->Error("<b>"); }},       {"OK", [&] { prompts->Warning("<b>"); }},
        {"OK", [&] { prompts->Information("<b>"); }}, {"OK", [&] { prompts->PlainBox("<b>"); }},
        {"&Yes", [&] { prompts->Confirm("<b>"); }},   {"&Yes", [&] { prompts->ConfirmAll("<b>"); }}};
    for (const auto& [press, show] : boxes) {
        const SeenBox box = Run(press, show);
        EXPECT_EQ(box.format, Qt::PlainText) << box.title.toStdString();
        EXPECT_TRUE(box.icon) << box.title.toStdString();
        EXPECT_GE(box.spareWidth, 100) << box.title.toStdString();
    }
    // Never set, it still follows the application's name.
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName("probe");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "probe");
    QCoreApplication::setApplicationName(name);
}

}  // namespace
}  // namespace tolvenmark
