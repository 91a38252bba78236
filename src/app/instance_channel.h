#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QObject>

#include "app/channel_buffer.h"
#include "app/channel_request.h"

class QLocalServer;
class QLocalSocket;
class QFileSystemWatcher;
class QTimer;

namespace tolvenmark {

// The command channel that keeps the clock to one copy per user and lets
// scripts steer it (the line format is in channel_request.h). Its socket and
// lock live in folder, a private folder (PrivateRuntimeDirectory).
class InstanceChannel : public QObject {
public:
    explicit InstanceChannel(const std::string& folder);
    ~InstanceChannel() override;

    // Sends one request line to a running copy and returns its reply lines,
    // the last "OK" or "ERROR ..." (fewer when it does not answer in time).
    // Nothing when no copy of this user listens.
    std::optional<std::vector<std::string>> Ask(const std::string& line) const;
    bool AskRunningCopy(const std::string& line) const { return Ask(line).has_value(); }
    // Asks until the copy that holds the lock listens; false when it never does.
    bool AskLockHolder(const std::string& line) const;

    enum class ListenResult {
        Listening,
        Taken,      // another copy holds the lock
        NoLock,     // the lock file cannot be had: running would risk a second copy
        NoChannel,  // ours alone, but the socket failed: tried again every second
    };
    // Becomes the running copy: takes the lock, then the socket (one left by a
    // copy that died goes first).
    ListenResult Listen();
    std::string Error() const { return error_; }

    // Answers a request with its reply lines, the last "OK" or "ERROR ...".
    std::function<std::vector<std::string>(const ChannelRequest&)> OnRequest;

private:
    struct Client {
        QLocalSocket* socket;
        ChannelBuffer buffer;
        std::uint64_t lastActive;
    };

    bool OpenSocket();
    void KeepListening();
    void Accept();
    void Serve(QLocalSocket* socket);
    // Answers up to kRequestsPerTurn requests; true when more may wait.
    bool ServeTurn(QLocalSocket* socket);
    Client* Find(QLocalSocket* socket);
    bool Drop(QLocalSocket* socket, const std::string& why);  // false

    std::string socketPath_;
    std::string lockPath_;
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
    QTimer* watch_ = nullptr;  // listening again, while that fails
    QFileSystemWatcher* socketFile_ = nullptr;
    std::uint64_t socketInode_ = 0;
    std::vector<Client> clients_;
    std::uint64_t activity_ = 0;
    std::string error_;
};

}  // namespace tolvenmark
