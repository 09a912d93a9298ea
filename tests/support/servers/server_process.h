#pragma once

#include <QProcess>
#include <QStringList>
#include <string>

namespace sievo::testing {

// Debian's interpreter, which has the packages the test servers use, even when another
// python3 comes first in PATH.
QString SystemPython();

// A port on 127.0.0.1 that was free a moment ago, for a server about to start.
quint16 FreePort();

// A server program run by a test, stopped by its process id when the object ends.
class ServerProcess {
public:
    ServerProcess() = default;
    ~ServerProcess() { Stop(); }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // False, with the reason in `Error`, when the program cannot be started.
    bool Start(const QString& program, const QStringList& arguments);
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
