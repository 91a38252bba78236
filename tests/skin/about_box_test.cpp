#include "skin/about_box.h"

#include <QDesktopServices>
#include <QTest>
#include <QUrl>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "skin/url_label.h"
#include "support/gui_app.h"

namespace tolvenmark {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Takes the desktop's opener's place for the schemes it is registered for.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() {
        for (const char* scheme : {"http", "https", "mailto"}) QDesktopServices::setUrlHandler(scheme, this, "Open");
    }
    ~UrlCatcher() override {
        for (const char* scheme : {"http", "https", "mailto"}) QDesktopServices::unsetUrlHandler(scheme);
    }
    QStringList opened;

public slots:
    void Open(const QUrl& url) { opened << url.toString(); }
};

class AboutBoxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureGuiApplication(); }
    QPoint Inside(QWidget* w) { return w->rect().center(); }

    UrlCatcher catcher;
    TForm5 about;
};

TEST_F(AboutBoxTest, ALinkOpensOnAReleaseOverItselfAfterAPress) {
    TUrlLabel* link = about.WebLink;
    EXPECT_EQ(link->CurrentColor(), QColor(Qt::blue));
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);

    QTest::mousePress(link, Qt::LeftButton, {}, Inside(link));
    EXPECT_EQ(link->CurrentColor(), QColor(Qt::red));
    QTest::mouseRelease(link, Qt::LeftButton, {}, link->rect().bottomRight() + QPoint(5, 5));
    EXPECT_THAT(catcher.opened, IsEmpty());  // slid off before the release
    EXPECT_FALSE(link->Followed());

    QTest::mouseRelease(link, Qt::LeftButton, {}, Inside(link));  // no press before it
    EXPECT_THAT(catcher.opened, IsEmpty());

    QTest::mouseClick(link, Qt::LeftButton, {}, Inside(link));
    QTest::mouseClick(about.MailLink, Qt::LeftButton, {}, Inside(about.MailLink));
    EXPECT_THAT(catcher.opened, ElementsAre(link->Url(), about.MailLink->Url()));
    EXPECT_EQ(link->CurrentColor(), QColor(0, 0, 128));
}

TEST_F(AboutBoxTest, ALinkWithoutUrlOpensItsCaption) {
    TUrlLabel bare("https://caption.example/", "");
    QTest::mouseClick(&bare, Qt::LeftButton, {}, Inside(&bare));
    EXPECT_THAT(catcher.opened, ElementsAre("https://caption.example/"));
}

}  // namespace
}  // namespace tolvenmark

#include "about_box_test.moc"
