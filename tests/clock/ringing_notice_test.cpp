#include "clock/ringing_notice.h"

#include <QTest>
#include <gtest/gtest.h>

#include "support/gui_app.h"
#include "support/mock_notifications.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::MockNotifications;
using testing::TempDir;

QDBusConnection Bus(const MockNotifications& server, const char* name) {
    return QDBusConnection::connectToBus(QString::fromStdString(server.Address()), name);
}

class RingingNoticeTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnsureGuiApplication();
        if (server.Address().empty()) GTEST_SKIP() << "dbus-daemon or python3-dbusmock is missing";
    }
    TempDir dir;
    MockNotifications server{dir.path()};
};

TEST_F(RingingNoticeTest, ShowsWithActionsAnswersThemAndIsWithdrawn) {
    RingingNotice notice(Bus(server, "notice-actions"));
    std::string pressed;
    notice.OnSnooze = [&] { pressed += "snooze;"; };
    notice.OnStop = [&] { pressed += "stop;"; };
    notice.Show("Tolvenmark Clock", "<b>Tea</b> & cake\n12/8/2026 at 7:00:00 AM");
    // The server reads markup: the header shows as typed.
    ASSERT_TRUE(server.WaitForLog("Notify \"Tolvenmark Clock\" 0 \"tolvenmark-clock\" \"Tolvenmark Clock\" "
                                  "\"&lt;b&gt;Tea&lt;/b&gt; &amp; cake\n12/8/2026 at 7:00:00 AM\" "
                                  "[\"snooze\", \"Snooze\", \"stop\", \"Stop\"]"))
        << server.Log();
    ASSERT_TRUE(server.Press(2, "snooze"));  // not ours
    ASSERT_TRUE(server.Press(1, "snooze"));
    ASSERT_TRUE(server.Press(1, "stop"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return pressed == "snooze;stop;"; }, 10000)) << pressed;
    notice.Withdraw();
    EXPECT_TRUE(server.WaitForLog("CloseNotification 1")) << server.Log();
}

TEST_F(RingingNoticeTest, WithdrawnBeforeTheServerAnsweredIsStillClosed) {
    RingingNotice notice(Bus(server, "notice-early"));
    notice.Show("Tolvenmark Clock", "Wake");
    ASSERT_TRUE(server.WaitForLog("Notify")) << server.Log();
    notice.Withdraw();
    ASSERT_TRUE(server.WaitForLog("CloseNotification 1")) << server.Log();
    notice.Show("Tolvenmark Clock", "Snoozed, back");
    notice.Withdraw();  // before the id of the second has come back
    EXPECT_TRUE(server.WaitForLog("CloseNotification 2")) << server.Log();
}

TEST(RingingNoticeNoServerTest, NothingIsShownAndNothingFails) {
    testing::EnsureGuiApplication();
    TempDir dir;
    MockNotifications bare(dir.path(), false);
    RingingNotice withoutBus{QDBusConnection(QString())};
    withoutBus.Show("Tolvenmark Clock", "Wake");
    withoutBus.Withdraw();
    if (bare.Address().empty()) GTEST_SKIP() << "dbus-daemon or python3-dbusmock is missing";
    RingingNotice withoutServer(Bus(bare, "notice-bare"));
    withoutServer.Show("Tolvenmark Clock", "Wake");
    QTest::qWait(200);
    withoutServer.Withdraw();
}

}  // namespace
}  // namespace tolvenmark
