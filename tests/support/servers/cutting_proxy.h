#pragma once

#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <string>
#include <vector>

#include "server_process.h"

namespace sievo::testing {

// A proxy on 127.0.0.1 in front of a server, for a connection lost at a chosen command:
// it passes everything both ways until the client sends a line that begins with `cutAt`;
// that line still reaches the server, which then sees the connection end, but its answer
// never reaches the client, which is dropped without a word. Only the first connection is
// cut; later ones pass whole. It runs on the test's thread: the client's waits pump the
// events that drive it.
class CuttingProxy {
public:
    CuttingProxy(quint16 serverPort, std::string cutAt);
    ~CuttingProxy();
    CuttingProxy(const CuttingProxy&) = delete;
    CuttingProxy& operator=(const CuttingProxy&) = delete;

    // For the client's `Server`.
    std::string Address() const { return LocalAddress(listener_.serverPort()); }
    // True once the connection was cut.
    bool Cut() const { return cut_; }

private:
    struct Link {
        std::unique_ptr<QTcpSocket> client;
        QTcpSocket server;
    };

    void Accept();
    // Hands on the client's complete lines, the one that cuts included.
    void PassClientLines(Link& link);

    QTcpServer listener_;
    quint16 serverPort_;
    std::string cutAt_;
    bool cut_ = false;
    std::vector<std::unique_ptr<Link>> links_;
};

}  // namespace sievo::testing
