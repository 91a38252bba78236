#include "app/instance_channel.h"

#include <cstdlib>

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include "platform/folders.h"

namespace tolvenmark {

namespace {
constexpr const char* kSocketName = "tolvenmark-clock.socket";
constexpr qint64 kMaxLine = 1024;
constexpr int kWaitMs = 2000;
}  // namespace

std::string InstanceSocketPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && QFileInfo(QString::fromUtf8(runtime)).isDir())
        return std::string(runtime) + "/" + kSocketName;
    return PrivateTempDirectory() + kSocketName;
}

std::string AnswerChannelLine(const std::string& line, const std::function<void()>& show) {
    std::string request = line;
    while (!request.empty() && (request.back() == '\n' || request.back() == '\r')) request.pop_back();
    if (request == "SHOW") {
        if (show) show();
        return "OK";
    }
    return "ERROR unknown request";
}

InstanceChannel::InstanceChannel(std::string socketPath) : socketPath_(std::move(socketPath)) {}

InstanceChannel::~InstanceChannel() {
    if (server_) server_->close();  // removes the socket file
}

bool InstanceChannel::AskRunningCopy(const std::string& line) const {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath_));
    if (!socket.waitForConnected(kWaitMs)) return false;
    socket.write(QByteArray::fromStdString(line + "\n"));
    socket.waitForBytesWritten(kWaitMs);
    // A copy that accepted the connection runs even if it is slow to answer.
    socket.waitForReadyRead(kWaitMs);
    return true;
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
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                while (socket->canReadLine()) {
                    const std::string line = socket->readLine(kMaxLine).toStdString();
                    socket->write(QByteArray::fromStdString(AnswerChannelLine(line, OnShow) + "\n"));
                }
                // A line without an end within the limit is not ours.
                if (socket->bytesAvailable() >= kMaxLine) socket->abort();
            });
        }
    });
    return true;
}

}  // namespace tolvenmark
