#pragma once

#include <string>

#include <QProcess>

#include "support/temp_dir.h"

namespace tolvenmark::testing {

// python3-dbusmock's NetworkManager on a private bus of its own, standing in
// for the system bus, with a wired device and the profiles "My ISP"
// (pppoe), "Mobile" (gsm) and "Home" (wifi).
class MockNetworkManager {
public:
    static bool Installed();  // python3-dbusmock is there
    MockNetworkManager();
    ~MockNetworkManager();

    bool Ready() const { return ready_; }
    const std::string& Address() const { return address_; }
    // A python snippet against the mock (bus, nm, mock, manager, settings,
    // profile(name, type) and path_of(name) are defined); true when it ran.
    bool Python(const std::string& snippet);
    void Hang();          // SIGSTOP: every call goes unanswered
    void AnswerSlowly();  // every call answered 2 s late
    void Restart();       // a new process, which numbers its connections afresh

private:
    void Start();

    QProcess daemon_;
    QProcess mock_;
    std::string address_;
    TempDir flagDir_;
    bool ready_ = false;
};

}  // namespace tolvenmark::testing
