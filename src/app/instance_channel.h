#pragma once

#include <functional>
#include <string>

#include <QObject>

class QLocalServer;

namespace tolvenmark {

// The per-user socket of the running clock: $XDG_RUNTIME_DIR when it is a
// folder, else the private temporary folder.
std::string InstanceSocketPath();

// One request per line, one reply line: "OK" or "ERROR " + reason.
// Known requests: "SHOW" (bring the clock to the front).
std::string AnswerChannelLine(const std::string& line, const std::function<void()>& show);

// The command channel that keeps the clock to one copy per user.
class InstanceChannel : public QObject {
public:
    explicit InstanceChannel(std::string socketPath = InstanceSocketPath());
    ~InstanceChannel() override;

    // Sends one request to a running copy; true when one answered the connection.
    bool AskRunningCopy(const std::string& line) const;

    // Becomes the running copy: a socket left by a copy that died is removed
    // first. False when another copy got there first.
    bool Listen();

    std::function<void()> OnShow;

private:
    std::string socketPath_;
    QLocalServer* server_ = nullptr;
};

}  // namespace tolvenmark
