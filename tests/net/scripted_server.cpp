#include "scripted_server.h"

#include <gtest/gtest.h>
#include <QDeadlineTimer>
#include <QSslSocket>

#include "net/event_pump.h"

namespace sievo::testing {

namespace {
// Generous: the machine running the tests may be loaded.
constexpr int kFinishLimitMs = 30000;
// What an endless sender keeps queued at most, so the server's own memory stays small.
constexpr qint64 kRepeatQueueBytes = 1024 * 1024;
}  // namespace

ScriptedServer::ScriptedServer() {
    EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
        if (peer_)
            return;
        peer_ = server_.nextPendingConnection();
        QObject::connect(peer_, &QTcpSocket::readyRead, [this] { Advance(); });
        QObject::connect(peer_, &QTcpSocket::disconnected, [this] { Advance(); });
        Advance();
    });
}

// The script and its steps end before the sockets do; no signal may reach them after.
ScriptedServer::~ScriptedServer() {
    repeater_.stop();
    QObject::disconnect(&repeater_, nullptr, nullptr, nullptr);
    QObject::disconnect(&server_, nullptr, nullptr, nullptr);
    if (peer_)
        QObject::disconnect(peer_, nullptr, nullptr, nullptr);
}

void ScriptedServer::TlsCapableServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QSslSocket(this);  // owned by the server, as Qt's own sockets are
    socket->setSocketDescriptor(descriptor);
    addPendingConnection(socket);
}

void ScriptedServer::SetTlsIdentity(const QSslCertificate& certificate, const QSslKey& key) {
    certificate_ = certificate;
    key_ = key;
}

ScriptedServer& ScriptedServer::Add(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

ScriptedServer& ScriptedServer::Send(std::string bytes) {
    return Add([bytes](QTcpSocket& peer) {
        peer.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return true;
    });
}

bool ScriptedServer::TakeLine(QTcpSocket& peer) {
    if (!peer.canReadLine())
        return false;
    QByteArray line = peer.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    received_.push_back(line.toStdString());
    return true;
}

ScriptedServer& ScriptedServer::ReadLine() {
    return Add([this](QTcpSocket& peer) { return TakeLine(peer); });
}

ScriptedServer& ScriptedServer::ReadThrough(const std::string& last) {
    return Add([this, last](QTcpSocket& peer) {
        while (TakeLine(peer))
            if (received_.back() == last)
                return true;
        return false;
    });
}

ScriptedServer& ScriptedServer::ReadUntilClosed() {
    return Add([this](QTcpSocket& peer) {
        while (TakeLine(peer)) {
        }
        return peer.state() == QAbstractSocket::UnconnectedState;
    });
}

ScriptedServer& ScriptedServer::SendForever(std::string bytes, std::chrono::milliseconds interval) {
    return Add([this, bytes, interval](QTcpSocket& peer) {
        if (repeater_.isActive())
            return false;
        QObject::connect(&repeater_, &QTimer::timeout, [bytes, &peer] {
            if (peer.bytesToWrite() < kRepeatQueueBytes)
                peer.write(bytes.data(), static_cast<qint64>(bytes.size()));
        });
        repeater_.start(interval);
        return false;
    });
}

ScriptedServer& ScriptedServer::Hold() {
    return Add([this](QTcpSocket&) {
        held_ = true;
        return false;
    });
}

ScriptedServer& ScriptedServer::Close() {
    return Add([](QTcpSocket& peer) {
        peer.disconnectFromHost();
        return true;
    });
}

ScriptedServer& ScriptedServer::StartTls() {
    return Add([this](QTcpSocket& peer) {
        auto& tls = static_cast<QSslSocket&>(peer);
        tls.setLocalCertificate(certificate_);
        tls.setPrivateKey(key_);
        tls.startServerEncryption();
        return true;
    });
}

void ScriptedServer::Resume() {
    ASSERT_TRUE(held_) << "Resume without a Hold reached";
    held_ = false;
    steps_.pop_front();
    Advance();
}

void ScriptedServer::Advance() {
    // A step that closes the connection signals at once; the loop below sees that itself.
    if (advancing_)
        return;
    advancing_ = true;
    while (peer_ && !held_ && !steps_.empty() && steps_.front()(*peer_))
        steps_.pop_front();
    advancing_ = false;
}

bool ScriptedServer::WaitFinished() {
    QDeadlineTimer deadline(kFinishLimitMs);
    while (!Finished() && !deadline.hasExpired())
        PumpOnce();
    return Finished();
}

}  // namespace sievo::testing
