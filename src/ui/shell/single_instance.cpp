#include "ui/shell/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include "config/activity_log.h"
#include "config/data_folder.h"

namespace sievo {

namespace {

constexpr int kHandOverTimeoutMs = 2000;
// A command line is a few words; anything longer is not a start of this program.
constexpr qint64 kMaxHandOverBytes = 64 * 1024;

// In the user's runtime folder, named after the data folder, so programs with different
// data folders (and tests) never meet.
QString SocketName() {
    const QByteArray folder = QByteArray::fromStdString(ProgramFolder());
    const QString hash =
        QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16);
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    return runtime + "/sievomatic-" + hash;
}

// One parameter a line, ended by an empty line.
QByteArray Encode(const std::vector<std::string>& parameters) {
    QByteArray bytes;
    for (const auto& parameter : parameters)
        bytes += QByteArray::fromStdString(parameter).replace('\n', ' ') + '\n';
    return bytes + '\n';
}

}  // namespace

SingleInstance::SingleInstance() : name_(SocketName()) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
}

bool SingleInstance::HandOver(const std::vector<std::string>& parameters) const {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kHandOverTimeoutMs))
        return false;
    socket.write(Encode(parameters));
    const bool sent = socket.waitForBytesWritten(kHandOverTimeoutMs);
    socket.disconnectFromServer();
    return sent;
}

void SingleInstance::Listen(std::function<void(const std::vector<std::string>&)> onStart) {
    onStart_ = std::move(onStart);
    // Nothing answered HandOver, so a socket file left there belongs to a program that
    // ended without cleaning up.
    QLocalServer::removeServer(name_);
    if (!server_.listen(name_)) {
        ActivityLog("Later starts cannot reach this one: " + server_.errorString().toStdString());
        return;
    }
    QObject::connect(&server_, &QLocalServer::newConnection, [this] { ReadStart(); });
}

void SingleInstance::ReadStart() {
    QLocalSocket* socket = server_.nextPendingConnection();
    if (!socket)
        return;
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto consume = [this, socket] {
        const QByteArray bytes = socket->peek(kMaxHandOverBytes);
        const bool complete = bytes == "\n" || bytes.endsWith("\n\n");
        if (!complete && bytes.size() < kMaxHandOverBytes)
            return;  // the rest is still on its way
        socket->readAll();
        std::vector<std::string> parameters;
        for (const QByteArray& line : bytes.split('\n'))
            if (!line.isEmpty())
                parameters.push_back(line.toStdString());
        socket->disconnectFromServer();
        // Handled from the event loop, not from inside this socket's signal: a message box
        // there would run its own loop while the socket is torn down under it.
        QMetaObject::invokeMethod(
            &server_, [this, parameters] { onStart_(parameters); }, Qt::QueuedConnection);
    };
    QObject::connect(socket, &QLocalSocket::readyRead, socket, consume);
    // What arrived before the connection was taken raises no signal of its own.
    if (socket->bytesAvailable() > 0)
        consume();
}

}  // namespace sievo
