#pragma once

#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "server_process.h"

namespace sievo::testing {

// A server on 127.0.0.1 that plays a script against the first client, for the faults a
// real server will not produce. It runs on the test's thread: the client's waits pump the
// events that drive it.
class ScriptedServer {
public:
    ScriptedServer();
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    // Lets the script start TLS with this certificate and key.
    void SetTlsIdentity(const QSslCertificate& certificate, const QSslKey& key);

    // "127.0.0.1:" + the port, for `Server`.
    std::string Address() const { return LocalAddress(Port()); }
    quint16 Port() const { return server_.serverPort(); }

    ScriptedServer& Send(std::string bytes);
    // Waits for one line from the client and keeps it (without CR LF) in `Received`.
    ScriptedServer& ReadLine();
    // Reads lines as `ReadLine` does until one equals `last` (the end of a mail's data).
    ScriptedServer& ReadThrough(const std::string& last);
    // Keeps every line the client sends until it closes the connection, so a test can tell
    // that it sent nothing more.
    ScriptedServer& ReadUntilClosed();
    // Sends `bytes` again every `interval` until the test ends (with 0, as fast as the
    // client takes them); no later step runs.
    ScriptedServer& SendForever(std::string bytes, std::chrono::milliseconds interval);
    // Waits until the test calls `Resume`.
    ScriptedServer& Hold();
    ScriptedServer& Close();
    // Starts the server side of TLS (needs `SetTlsIdentity`).
    ScriptedServer& StartTls();

    void Resume();
    const std::vector<std::string>& Received() const { return received_; }
    // True once every step has run.
    bool Finished() const { return steps_.empty(); }
    // Pumps events until every step has run; false when that takes too long.
    bool WaitFinished();

private:
    // One step; false while it must wait for something.
    using Step = std::function<bool(QTcpSocket&)>;
    ScriptedServer& Add(Step step);
    // Moves one complete line from the client into `received_`; false when none is there.
    bool TakeLine(QTcpSocket& peer);
    void Advance();

    // Hands out TLS-capable sockets, so a script may start TLS when it likes.
    class TlsCapableServer : public QTcpServer {
    protected:
        void incomingConnection(qintptr descriptor) override;
    };

    TlsCapableServer server_;
    QSslCertificate certificate_;
    QSslKey key_;
    QTcpSocket* peer_ = nullptr;  // owned by server_
    std::deque<Step> steps_;
    std::vector<std::string> received_;
    QTimer repeater_;
    bool held_ = false;
    bool advancing_ = false;
};

}  // namespace sievo::testing
