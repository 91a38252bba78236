#include "app/instance_channel.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include "platform/folders.h"

namespace tolvenmark {

namespace {
constexpr const char* kSocketName = "tolvenmark-clock.socket";
constexpr int kWaitMs = 2000;
// A clock busy starting a player or painting on a loaded machine still answers.
constexpr int kReplyWaitMs = 10000;

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
}  // namespace

std::string InstanceSocketPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && QFileInfo(QString::fromUtf8(runtime)).isDir())
        return std::string(runtime) + "/" + kSocketName;
    return PrivateTempDirectory() + kSocketName;
}

InstanceChannel::InstanceChannel(std::string socketPath) : socketPath_(std::move(socketPath)) {}

InstanceChannel::~InstanceChannel() {
    if (server_) server_->close();  // removes the socket file
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

bool InstanceChannel::Listen() {
    const QString path = QString::fromStdString(socketPath_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) {
        if (server_->serverError() != QAbstractSocket::AddressInUseError) return false;
        // Nobody answered before we got here, so the socket is a dead copy's.
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(kWaitMs)) return false;
        QLocalServer::removeServer(path);
        if (!server_->listen(path)) return false;
    }
    ::chmod(socketPath_.c_str(), S_IRUSR | S_IWUSR);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (!PeerIsUs(socket)) {
                Log("refused a connection from another user");
                socket->abort();
                continue;
            }
            connect(socket, &QLocalSocket::readyRead, socket, [this, socket] { ReadRequests(socket); });
            ReadRequests(socket);
        }
    });
    return true;
}

void InstanceChannel::ReadRequests(QLocalSocket* socket) {
    while (socket->canReadLine()) {
        QByteArray bytes = socket->readLine(static_cast<qint64>(kMaxRequestLine) + 2);
        if (!bytes.endsWith('\n') || bytes.size() > static_cast<qsizetype>(kMaxRequestLine) + 1) {
            Log("refused a request line over " + std::to_string(kMaxRequestLine) + " bytes");
            socket->abort();
            return;
        }
        bytes.chop(1);
        const ParsedRequest parsed = ParseChannelLine(std::string_view(bytes.constData(), bytes.size()));
        std::vector<std::string> reply;
        if (!parsed.request) {
            Log("refused a request: " + parsed.refusal);
            reply.push_back("ERROR " + parsed.refusal);
        } else if (OnRequest) {
            reply = OnRequest(*parsed.request);
        } else {
            reply.push_back("ERROR not ready");
        }
        std::string text;
        for (const std::string& l : reply) text += l + "\n";
        socket->write(QByteArray::fromStdString(text));
        socket->flush();
    }
    // A line without an end within the limit is not ours.
    if (socket->bytesAvailable() > static_cast<qint64>(kMaxRequestLine) + 1) {
        Log("refused a request line over " + std::to_string(kMaxRequestLine) + " bytes");
        socket->abort();
    }
}

}  // namespace tolvenmark
