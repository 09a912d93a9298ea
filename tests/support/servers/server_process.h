#pragma once

#include <QProcess>
#include <QStringList>
#include <string>

namespace sievo::testing {

// A port on 127.0.0.1 that was free a moment ago, for a server about to start.
quint16 FreePort();
// "127.0.0.1:" + the port, as a client's `Server` names a test server.
std::string LocalAddress(quint16 port);

// A server program run by a test, stopped by its process id when the object ends.
class ServerProcess {
public:
    ServerProcess() = default;
    ~ServerProcess() { Stop(); }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // False, with the reason in `Error`, when the program cannot be started.
    bool Start(const QString& program, const QStringList& arguments);
    // Runs a Python program that prints a line `portPrefix` + the port it listens on; that
    // port, or 0 with the reason in `Error`.
    quint16 StartPython(const QStringList& arguments, const std::string& portPrefix = "PORT ");
    // Waits until every port accepts connections; false when the program ended first or
    // did not get there within a generous limit.
    bool WaitForPorts(const QList<quint16>& ports);
    // Waits for a line of standard output that begins with `prefix`; the rest of it.
    std::string WaitForOutputLine(const std::string& prefix);
    void Stop();

    bool Running() const { return process_.state() != QProcess::NotRunning; }
    std::string Error() const { return error_; }

private:
    bool Accepts(quint16 port) const;

    QProcess process_;
    std::string error_;
};

}  // namespace sievo::testing
