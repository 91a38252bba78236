#include "app/bus_links.h"

#include <filesystem>

#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include "support/gui_app.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

// The system bus starts after the clock, in a folder not there before: the
// clock links to it when its socket comes (it asks no more than every
// 10 minutes while none is there).
TEST(BusLinksTest, ABusThatComesLaterIsLinked) {
    testing::EnsureGuiApplication();
    testing::TempDir dir;
    const QString socket = QString::fromStdString(dir.File("run/dbus/system_bus_socket"));
    const QByteArray saved = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + socket).toUtf8());
    bool linked = false;
    BusLinks links;
    links.onSystem = [&](const QDBusConnection& bus) { linked = bus.isConnected(); };
    links.Start();
    saved.isNull() ? qunsetenv("DBUS_SYSTEM_BUS_ADDRESS") : qputenv("DBUS_SYSTEM_BUS_ADDRESS", saved);
    QTest::qWait(200);
    std::filesystem::create_directories(dir.File("run/dbus"));
    QProcess daemon;  // killed as it goes
    daemon.start("dbus-daemon", {"--session", "--nofork", "--address=unix:path=" + socket});
    ASSERT_TRUE(daemon.waitForStarted()) << "dbus-daemon is missing";
    EXPECT_TRUE(QTest::qWaitFor([&] { return linked; }, 120000));
}

}  // namespace
}  // namespace tolvenmark
