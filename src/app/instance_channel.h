#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QObject>

#include "app/channel_request.h"

class QLocalServer;
class QLocalSocket;

namespace tolvenmark {

// The per-user socket of the running clock: $XDG_RUNTIME_DIR when it is a
// folder, else the private temporary folder.
std::string InstanceSocketPath();

// The command channel that keeps the clock to one copy per user and lets
// scripts steer it (the line format is in channel_request.h).
class InstanceChannel : public QObject {
public:
    explicit InstanceChannel(std::string socketPath = InstanceSocketPath());
    ~InstanceChannel() override;

    // Sends one request line to a running copy and returns its reply lines,
    // the last "OK" or "ERROR ..." (fewer when it does not answer in time).
    // Nothing when no copy of this user listens.
    std::optional<std::vector<std::string>> Ask(const std::string& line) const;
    bool AskRunningCopy(const std::string& line) const { return Ask(line).has_value(); }

    // Becomes the running copy: a socket left by a copy that died is removed
    // first. False when another copy got there first.
    bool Listen();

    // Answers a request with its reply lines, the last "OK" or "ERROR ...".
    std::function<std::vector<std::string>(const ChannelRequest&)> OnRequest;

private:
    void ReadRequests(QLocalSocket* socket);

    std::string socketPath_;
    QLocalServer* server_ = nullptr;
};

}  // namespace tolvenmark
