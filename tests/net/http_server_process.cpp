#include "http_server_process.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

#include "net/event_pump.h"

namespace sievo::testing {

namespace {
constexpr int kStartLimitMs = 30000;
}

HttpServerProcess::HttpServerProcess(const std::string& folder) {
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start("python3", {"-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory",
                               QString::fromStdString(folder)});
    // It names the port it got in its first line: "Serving HTTP on 127.0.0.1 port N ...".
    const QRegularExpression portPattern(" port (\\d+)");
    QByteArray output;
    QDeadlineTimer deadline(kStartLimitMs);
    while (port_ == 0 && process_.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        PumpOnce();
        output += process_.readAll();
        const auto match = portPattern.match(QString::fromUtf8(output));
        if (match.hasMatch())
            port_ = match.captured(1).toInt();
    }
}

HttpServerProcess::~HttpServerProcess() {
    process_.kill();
    process_.waitForFinished();
}

}  // namespace sievo::testing
