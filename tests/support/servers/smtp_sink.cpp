#include "smtp_sink.h"

#include <QDir>
#include <QFileInfo>

#include "config/file_io.h"

namespace sievo::testing {

namespace {

// Debian's interpreter, which has the python3-aiosmtpd package, even when another python3
// comes first in PATH.
QString Python() {
    const QString system = "/usr/bin/python3";
    return QFileInfo::exists(system) ? system : "python3";
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos;
         start = end + 1, end = text.find('\n', start))
        lines.push_back(text.substr(start, end - start));
    return lines;
}

SinkMessage ParseEnvelope(const std::string& envelope) {
    SinkMessage message;
    for (const std::string& line : Lines(envelope)) {
        const auto colon = line.find(':');
        const std::string key = line.substr(0, colon);
        const std::string value = colon == std::string::npos ? "" : line.substr(colon + 1);
        if (key == "MAIL FROM")
            message.mailFrom = value;
        else if (key == "RCPT TO")
            message.rcptTo.push_back(value);
        else if (key == "AUTH")
            message.login = value;
        else if (key == "TLS")
            message.tls = value == "yes";
    }
    return message;
}

}  // namespace

SmtpSink::SmtpSink(const Options& options) {
    if (!process_.Start(Python(), Arguments(options) << "--folder" << dir_.path()))
        return;
    const std::string port = process_.WaitForOutputLine("PORT ");
    if (!port.empty())
        port_ = static_cast<quint16>(std::stoi(port));
}

QStringList SmtpSink::Arguments(const Options& options) {
    QStringList arguments{SIEVOMATIC_SMTP_SINK_SCRIPT};
    const char* tls[] = {"none", "starttls", "ssl"};
    arguments << "--tls" << tls[static_cast<int>(options.tls)];
    if (!options.certificateFile.empty()) {
        arguments << "--cert" << QString::fromStdString(options.certificateFile) << "--key"
                  << QString::fromStdString(options.keyFile);
    }
    if (!options.user.empty()) {
        arguments << "--user" << QString::fromStdString(options.user) << "--password"
                  << QString::fromStdString(options.password);
    }
    if (options.authOverPlainText)
        arguments << "--auth-over-plain-text";
    if (options.authLoginOnly)
        arguments << "--auth-login-only";
    return arguments;
}

std::string SmtpSink::Address() const {
    return "127.0.0.1:" + std::to_string(port_);
}

std::vector<SinkMessage> SmtpSink::Received() const {
    std::vector<SinkMessage> messages;
    const QStringList envelopes = QDir(dir_.path()).entryList({"*.env"}, QDir::Files, QDir::Name);
    for (const QString& name : envelopes) {
        const std::string base = QFileInfo(name).completeBaseName().toStdString();
        SinkMessage message = ParseEnvelope(ReadWholeFile(Path(base + ".env")).value_or(""));
        message.data = ReadWholeFile(Path(base + ".eml")).value_or("");
        messages.push_back(message);
    }
    return messages;
}

std::string SmtpSink::Path(const std::string& name) const {
    return dir_.path().toStdString() + "/" + name;
}

}  // namespace sievo::testing
