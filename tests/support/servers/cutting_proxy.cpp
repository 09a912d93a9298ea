#include "cutting_proxy.h"

#include <QHostAddress>

namespace sievo::testing {

CuttingProxy::CuttingProxy(quint16 serverPort, std::string cutAt)
    : serverPort_(serverPort), cutAt_(std::move(cutAt)) {
    listener_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&listener_, &QTcpServer::newConnection, [this] { Accept(); });
}

// No signal may reach the proxy once it is gone.
CuttingProxy::~CuttingProxy() {
    QObject::disconnect(&listener_, nullptr, nullptr, nullptr);
    for (const auto& link : links_) {
        QObject::disconnect(link->client.get(), nullptr, nullptr, nullptr);
        QObject::disconnect(&link->server, nullptr, nullptr, nullptr);
    }
}

void CuttingProxy::Accept() {
    while (QTcpSocket* accepted = listener_.nextPendingConnection()) {
        auto& link = *links_.emplace_back(std::make_unique<Link>());
        link.client.reset(accepted);
        accepted->setParent(nullptr);
        QTcpSocket& client = *link.client;
        QTcpSocket& server = link.server;
        // Written before the connection is made, the client's lines wait in the socket.
        server.connectToHost(QHostAddress::LocalHost, serverPort_);
        QObject::connect(&server, &QTcpSocket::readyRead, [&client, &server] {
            if (client.state() == QAbstractSocket::ConnectedState)
                client.write(server.readAll());
            else
                server.readAll();
        });
        QObject::connect(&server, &QTcpSocket::disconnected,
                         [&client] { client.disconnectFromHost(); });
        QObject::connect(&client, &QTcpSocket::readyRead, [this, &link] { PassClientLines(link); });
        QObject::connect(&client, &QTcpSocket::disconnected,
                         [&server] { server.disconnectFromHost(); });
    }
}

void CuttingProxy::PassClientLines(Link& link) {
    while (link.client->canReadLine()) {
        const QByteArray line = link.client->readLine();
        link.server.write(line);
        if (cut_ || !line.startsWith(QByteArray::fromStdString(cutAt_)))
            continue;
        cut_ = true;
        // The server gets the line and then the end of the connection; the client gets
        // neither the answer nor a closing handshake.
        QObject::disconnect(link.client.get(), nullptr, nullptr, nullptr);
        link.client->abort();
        // Written out now: the test may wait for the server without letting events run.
        link.server.flush();
        link.server.disconnectFromHost();
        return;
    }
}

}  // namespace sievo::testing
