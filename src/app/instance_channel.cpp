#include "app/instance_channel.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

namespace tolvenmark {

namespace {
constexpr const char* kSocketName = "tolvenmark-clock.socket";
constexpr const char* kLockName = "tolvenmark-clock.lock";
constexpr int kWaitMs = 2000;
// A clock busy starting a player or painting on a loaded machine still answers.
constexpr int kReplyWaitMs = 10000;
// The copy that holds the lock listens at once, but may start slowly under load.
constexpr int kLockHolderWaitMs = 20000;
// What one client may cost the clock: replies it does not read, connections
// held open, and requests answered before the clock gets on with its ticks.
constexpr qint64 kMaxUnreadReply = 64 * 1024;
constexpr std::size_t kMaxClients = 16;
constexpr int kRequestsPerTurn = 16;
constexpr int kWatchMs = 1000;

void Log(const std::string& text) { std::fprintf(stderr, "tolvenmark-clock: %s\n", text.c_str()); }

bool IsReplyEnd(const std::string& line) { return line == "OK" || line.rfind("ERROR", 0) == 0; }

// Another user's clock is none of ours, and a socket of theirs in our folder is a trap.
bool OwnedByUs(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return true;  // nobody there: the connect says so
    if (S_ISSOCK(st.st_mode) && st.st_uid == ::geteuid()) return true;
    Log("not using " + path + ": it is not a socket of this user");
    return false;
}

bool PeerIsUs(const QLocalSocket* socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
        return false;
    return peer.uid == ::geteuid();
}

std::uint64_t InodeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}
}  // namespace

InstanceChannel::InstanceChannel(const std::string& folder)
    : socketPath_(folder + "/" + kSocketName), lockPath_(folder + "/" + kLockName) {}

bool InstanceChannel::FitsSocketPath(const std::string& folder) {
    return folder.size() + 1 + std::strlen(kSocketName) < sizeof(sockaddr_un::sun_path);
}

InstanceChannel::~InstanceChannel() {
    if (server_) server_->close();  // removes the socket file
    if (lockFd_ >= 0) ::close(lockFd_);
}

std::optional<std::vector<std::string>> InstanceChannel::Ask(const std::string& line) const {
    if (!OwnedByUs(socketPath_)) return std::nullopt;
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath_));
    if (!socket.waitForConnected(kWaitMs)) return std::nullopt;
    socket.write(QByteArray::fromStdString(line + "\n"));
    socket.waitForBytesWritten(kWaitMs);

    // A copy that accepted the connection runs, even when it is slow to answer.
    std::vector<std::string> reply;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kReplyWaitMs) {
        while (socket.canReadLine()) {
            std::string text = socket.readLine().toStdString();
            if (!text.empty() && text.back() == '\n') text.pop_back();
            reply.push_back(text);
            if (IsReplyEnd(text)) return reply;
        }
        if (socket.state() != QLocalSocket::ConnectedState) break;
        socket.waitForReadyRead(100);
    }
    return reply;
}

std::optional<std::vector<std::string>> InstanceChannel::AskLockHolder(const std::string& line) const {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kLockHolderWaitMs) {
        if (auto reply = Ask(line)) return reply;
        QThread::msleep(100);
    }
    return std::nullopt;
}

InstanceChannel::ListenResult InstanceChannel::Listen() {
    // The lock, not the socket, decides: two copies can each bind a socket of
    // their own and rename it over the path.
    lockFd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd_ < 0) {
        error_ = "cannot open " + lockPath_ + ": " + std::strerror(errno);
        return ListenResult::NoLock;
    }
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        error_ = "cannot lock " + lockPath_ + ": " + std::strerror(errno);
        ::close(lockFd_);
        lockFd_ = -1;
        return taken ? ListenResult::Taken : ListenResult::NoLock;
    }
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::Accept);
    // The toolkit closes a listener whose accept fails (no file descriptor
    // left), and anyone may delete the socket file; a copy without its socket
    // cannot be reached, so it listens again. The file is watched and the
    // listener looked at each time the clock is about to wait; only while
    // listening fails is it tried again each second.
    watch_ = new QTimer(this);
    watch_->setInterval(kWatchMs);
    connect(watch_, &QTimer::timeout, this, &InstanceChannel::KeepListening);
    socketFile_ = new QFileSystemWatcher(this);
    connect(socketFile_, &QFileSystemWatcher::fileChanged, this, &InstanceChannel::KeepListening);
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (!server_->isListening() && !watch_->isActive()) watch_->start();
        });
    if (OpenSocket()) return ListenResult::Listening;
    watch_->start();
    return ListenResult::NoChannel;
}

bool InstanceChannel::OpenSocket() {
    const QString path = QString::fromStdString(socketPath_);
    server_->close();
    // With the lock held, whatever is at the path is a dead copy's.
    QLocalServer::removeServer(path);
    if (!server_->listen(path)) {
        error_ = "cannot listen on " + socketPath_ + ": " + server_->errorString().toStdString();
        return false;
    }
    ::chmod(socketPath_.c_str(), S_IRUSR | S_IWUSR);
    socketInode_ = InodeOf(socketPath_);
    socketFile_->removePath(path);
    socketFile_->addPath(path);
    return true;
}

void InstanceChannel::KeepListening() {
    if (server_->isListening() && socketInode_ != 0 && InodeOf(socketPath_) == socketInode_) {
        watch_->stop();
        return;
    }
    const bool was = socketInode_ != 0;
    socketInode_ = 0;
    if (OpenSocket()) {
        watch_->stop();
        Log("the command channel was lost; listening again on " + socketPath_);
        return;
    }
    if (was) Log(error_);
    watch_->start();
}

InstanceChannel::Client* InstanceChannel::Find(QLocalSocket* socket) {
    for (Client& client : clients_)
        if (client.socket == socket) return &client;
    return nullptr;
}

void InstanceChannel::Forget(QLocalSocket* socket) {
    std::erase_if(clients_, [socket](const Client& client) { return client.socket == socket; });
    socket->deleteLater();
}

bool InstanceChannel::Drop(Client& client, const std::string& why) {
    Log(why);
    client.gone = true;
    client.lines.clear();
    client.buffer = {};
    client.socket->abort();
    // A request of this client still runs (a box it opened): it goes after.
    if (!client.busy) Forget(client.socket);
    return false;
}

void InstanceChannel::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            // What a client sent before it went is still carried out; the
            // toolkit's bounded buffer keeps that to a few kilobytes.
            if (Client* client = Find(socket)) client->gone = true;
            ScheduleServe();
        });
        if (!PeerIsUs(socket)) {
            Log("refused a connection from another user");
            socket->abort();
            socket->deleteLater();
            continue;
        }
        const auto open = std::count_if(clients_.begin(), clients_.end(), [](const Client& c) { return !c.gone; });
        if (static_cast<std::size_t>(open) >= kMaxClients) {
            Client* idlest = nullptr;
            for (Client& client : clients_)
                if (!client.gone && (!idlest || client.lastActive < idlest->lastActive)) idlest = &client;
            Drop(*idlest, "closed the idlest of " + std::to_string(kMaxClients) + " connections");
        }
        // The toolkit reads no further than this until the clock takes it.
        socket->setReadBufferSize(static_cast<qint64>(kMaxRequestLine) + 1);
        clients_.push_back({socket, {}, {}, ++activity_});
        connect(socket, &QLocalSocket::readyRead, this, [this] { ScheduleServe(); });
        ScheduleServe();
    }
}

bool InstanceChannel::Take(Client& client) {
    while (client.lines.size() < static_cast<std::size_t>(kRequestsPerTurn)) {
        if (std::optional<std::string> line = client.buffer.TakeLine()) {
            client.lines.push_back(std::move(*line));
            continue;
        }
        // A client that went is closed once its last bytes were read.
        if (!client.socket->isOpen()) return true;
        const QByteArray bytes = client.socket->read(static_cast<qint64>(client.buffer.Room()));
        if (bytes.isEmpty()) return true;
        if (!client.buffer.Receive(std::string_view(bytes.constData(), bytes.size())))
            return Drop(client, "refused a request line over " + std::to_string(kMaxRequestLine) + " bytes");
    }
    return true;
}

void InstanceChannel::ScheduleServe() {
    if (serveScheduled_) return;
    serveScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        serveScheduled_ = false;
        ServeQueue();
    });
}

void InstanceChannel::ServeQueue() {
    // A request that opened a box runs a nested event loop; the outer turn
    // carries on once it returns, and looks again then.
    if (serving_) {
        serveAgain_ = true;
        return;
    }
    serving_ = true;
    serveAgain_ = false;
    bool more = false;
    std::vector<QLocalSocket*> sockets;
    for (const Client& client : clients_) sockets.push_back(client.socket);
    for (QLocalSocket* socket : sockets) {
        for (int answered = 0; answered < kRequestsPerTurn; ++answered) {
            Client* client = Find(socket);
            if (!client || !Take(*client) || client->lines.empty()) break;
            const std::string line = std::move(client->lines.front());
            client->lines.pop_front();
            if (!Answer(*client, line)) break;
        }
        Client* client = Find(socket);
        if (!client) continue;
        if (!client->lines.empty() || client->socket->bytesAvailable() > 0) {
            more = true;  // the rest after the ticks and the other clients
        } else if (client->gone) {
            Forget(socket);
        }
    }
    serving_ = false;
    if (more || serveAgain_) ScheduleServe();
}

bool InstanceChannel::Answer(Client& client, const std::string& line) {
    client.lastActive = ++activity_;
    const ParsedRequest parsed = ParseChannelLine(line);
    std::vector<std::string> reply;
    if (!parsed.request) {
        Log("refused a request: " + parsed.refusal);
        reply.push_back("ERROR " + parsed.refusal);
    } else if (OnRequest) {
        // The socket stays while the request runs, whatever the client does meanwhile.
        client.busy = true;
        reply = OnRequest(*parsed.request);
        client.busy = false;
    } else {
        reply.push_back("ERROR not ready");
    }
    // Gone while the request ran (or before): nobody reads the reply.
    if (client.socket->state() != QLocalSocket::ConnectedState) return true;
    client.socket->write(QByteArray::fromStdString(FormatReply(reply)));
    client.socket->flush();
    if (client.socket->bytesToWrite() > kMaxUnreadReply)
        return Drop(client, "closed a connection that does not read its replies");
    return true;
}

}  // namespace tolvenmark
