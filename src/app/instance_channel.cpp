#include "app/instance_channel.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
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

bool InstanceChannel::AskLockHolder(const std::string& line) const {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kLockHolderWaitMs) {
        if (AskRunningCopy(line)) return true;
        QThread::msleep(100);
    }
    return false;
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

bool InstanceChannel::Drop(QLocalSocket* socket, const std::string& why) {
    Log(why);
    std::erase_if(clients_, [socket](const Client& client) { return client.socket == socket; });
    socket->abort();
    socket->deleteLater();
    return false;
}

void InstanceChannel::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            // What a client sent before it went is still carried out; the
            // toolkit's bounded buffer keeps that to a few kilobytes.
            while (ServeTurn(socket)) {
            }
            std::erase_if(clients_, [socket](const Client& client) { return client.socket == socket; });
            socket->deleteLater();
        });
        if (!PeerIsUs(socket)) {
            Drop(socket, "refused a connection from another user");
            continue;
        }
        if (clients_.size() >= kMaxClients) {
            const auto idlest = std::min_element(clients_.begin(), clients_.end(), [](const Client& a, const Client& b) {
                return a.lastActive < b.lastActive;
            });
            Drop(idlest->socket, "closed the idlest of " + std::to_string(kMaxClients) + " connections");
        }
        // The toolkit reads no further than this until the clock takes it.
        socket->setReadBufferSize(static_cast<qint64>(kMaxRequestLine) + 1);
        clients_.push_back({socket, {}, ++activity_});
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Serve(socket); });
        Serve(socket);
    }
}

void InstanceChannel::Serve(QLocalSocket* socket) {
    // The rest after the ticks and the other clients.
    if (ServeTurn(socket)) QTimer::singleShot(0, socket, [this, socket] { Serve(socket); });
}

bool InstanceChannel::ServeTurn(QLocalSocket* socket) {
    for (int answered = 0; answered < kRequestsPerTurn;) {
        Client* client = Find(socket);
        if (!client) return false;
        std::optional<std::string> line = client->buffer.TakeLine();
        if (!line) {
            const QByteArray bytes = socket->read(static_cast<qint64>(client->buffer.Room()));
            if (bytes.isEmpty()) return false;
            if (!client->buffer.Receive(std::string_view(bytes.constData(), bytes.size())))
                return Drop(socket, "refused a request line over " + std::to_string(kMaxRequestLine) + " bytes");
            continue;
        }
        client->lastActive = ++activity_;
        ++answered;
        const ParsedRequest parsed = ParseChannelLine(*line);
        std::vector<std::string> reply;
        if (!parsed.request) {
            Log("refused a request: " + parsed.refusal);
            reply.push_back("ERROR " + parsed.refusal);
        } else if (OnRequest) {
            reply = OnRequest(*parsed.request);
        } else {
            reply.push_back("ERROR not ready");
        }
        // The request may have ended this client (a nested event loop).
        if (!Find(socket)) return false;
        socket->write(QByteArray::fromStdString(FormatReply(reply)));
        socket->flush();
        if (socket->bytesToWrite() > kMaxUnreadReply)
            return Drop(socket, "closed a connection that does not read its replies");
    }
    return true;
}

}  // namespace tolvenmark
