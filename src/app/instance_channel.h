#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <list>
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
    // Whether the socket's path in folder fits the system's limit.
    static bool FitsSocketPath(const std::string& folder);
    ~InstanceChannel() override;

    // Sends one request line to a running copy and returns its reply lines,
    // the last "OK" or "ERROR ..." (fewer when it does not answer in time).
    // Nothing when no copy of this user listens.
    std::optional<std::vector<std::string>> Ask(const std::string& line) const;
    // Asks until the copy that holds the lock listens; nothing when it never does.
    std::optional<std::vector<std::string>> AskLockHolder(const std::string& line) const;

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
        std::deque<std::string> lines;  // whole request lines waiting their turn
        std::uint64_t lastActive;
        bool gone = false;  // disconnected or dropped: deleted once nothing runs for it
        bool busy = false;  // one of its requests runs: the socket must stay
    };

    bool OpenSocket();
    void KeepListening();
    void Accept();
    // Moves whole lines from the socket into the client's queue (a few at a
    // time); false when the client was dropped.
    bool Take(Client& client);
    void ScheduleServe();
    // Answers up to kRequestsPerTurn requests of each client, from the event
    // loop, never inside a socket's signal.
    void ServeQueue();
    bool Answer(Client& client, const std::string& line);  // false when dropped
    Client* Find(QLocalSocket* socket);
    bool Drop(Client& client, const std::string& why);  // false
    void Forget(QLocalSocket* socket);

    std::string socketPath_;
    std::string lockPath_;
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
    QTimer* watch_ = nullptr;  // listening again, while that fails
    QFileSystemWatcher* socketFile_ = nullptr;
    std::uint64_t socketInode_ = 0;
    std::list<Client> clients_;
    std::uint64_t activity_ = 0;
    bool serveScheduled_ = false;
    bool serving_ = false;
    bool serveAgain_ = false;  // asked for while a request ran
    std::string error_;
};

}  // namespace tolvenmark
