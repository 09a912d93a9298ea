#include "server_process.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>

namespace sievo::testing {

namespace {
// Upper bounds for a server's start and end on a loaded machine; reaching one is a failure.
constexpr int kStartLimitMs = 60000;
constexpr int kStopLimitMs = 20000;
// How long one attempt to connect or to read may block before the process is looked at.
constexpr int kPollMs = 200;

// Debian's interpreter, which has the packages the test servers use, even when another
// python3 comes first in PATH.
QString SystemPython() {
    const QString system = "/usr/bin/python3";
    return QFileInfo::exists(system) ? system : "python3";
}
}  // namespace

quint16 FreePort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

std::string LocalAddress(quint16 port) {
    return "127.0.0.1:" + std::to_string(port);
}

bool ServerProcess::Start(const QString& program, const QStringList& arguments) {
    process_.start(program, arguments);
    if (!process_.waitForStarted(kStartLimitMs)) {
        error_ = program.toStdString() + ": " + process_.errorString().toStdString();
        return false;
    }
    return true;
}

quint16 ServerProcess::StartPython(const QStringList& arguments, const std::string& portPrefix) {
    if (!Start(SystemPython(), arguments))
        return 0;
    const std::string port = WaitForOutputLine(portPrefix);
    return port.empty() ? 0 : static_cast<quint16>(std::stoi(port));
}

bool ServerProcess::Accepts(quint16 port) const {
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, port);
    const bool accepted = probe.waitForConnected(kPollMs);
    probe.abort();
    return accepted;
}

bool ServerProcess::WaitForPorts(const QList<quint16>& ports) {
    const QDeadlineTimer deadline(kStartLimitMs);
    for (const quint16 port : ports) {
        while (!Accepts(port)) {
            if (!Running() || deadline.hasExpired() || process_.waitForFinished(kPollMs)) {
                error_ = "the server did not listen on port " + std::to_string(port) + ": " +
                         process_.readAllStandardError().toStdString();
                return false;
            }
        }
    }
    return true;
}

std::string ServerProcess::WaitForOutputLine(const std::string& prefix) {
    const QDeadlineTimer deadline(kStartLimitMs);
    while (!deadline.hasExpired()) {
        if (process_.canReadLine()) {
            const std::string line = process_.readLine().trimmed().toStdString();
            if (line.starts_with(prefix))
                return line.substr(prefix.size());
            continue;
        }
        if (!Running())
            break;
        process_.waitForReadyRead(kPollMs);
    }
    error_ = "no \"" + prefix + "\" line: " + process_.readAllStandardError().toStdString();
    return {};
}

void ServerProcess::Stop() {
    if (!Running())
        return;
    process_.terminate();  // SIGTERM to the process id
    if (!process_.waitForFinished(kStopLimitMs)) {
        process_.kill();
        process_.waitForFinished(kStopLimitMs);
    }
}

}  // namespace sievo::testing
