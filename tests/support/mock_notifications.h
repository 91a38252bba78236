#pragma once

#include <string>

#include <QProcess>

namespace tolvenmark::testing {

// A private session bus, and on it (unless withServer is false)
// python3-dbusmock's notification daemon, which logs every call it gets.
class MockNotifications {
public:
    explicit MockNotifications(const std::string& folder, bool withServer = true);
    ~MockNotifications();
    MockNotifications(const MockNotifications&) = delete;
    MockNotifications& operator=(const MockNotifications&) = delete;

    // Empty when dbus-daemon or python3-dbusmock is missing.
    const std::string& Address() const { return address_; }
    std::string Log() const;
    bool WaitForLog(const std::string& text, int timeoutMs = 10000) const;
    // The user presses an action of notification id.
    bool Press(unsigned id, const std::string& action) const;

private:
    std::string address_;
    std::string log_;
    QProcess daemon_;
    QProcess mock_;
};

}  // namespace tolvenmark::testing
