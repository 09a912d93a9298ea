#include "smtp_sink.h"

#include <QDir>
#include <QFileInfo>
#include <sstream>

#include "config/file_io.h"

namespace sievo::testing {

namespace {

// The sink writes one "KEY:value" line for each part of the envelope.
SinkMessage ParseEnvelope(const std::string& envelope) {
    SinkMessage message;
    std::istringstream lines(envelope);
    for (std::string line; std::getline(lines, line);) {
        const auto colon = line.find(':');
        const std::string key = line.substr(0, colon);
        const std::string value = line.substr(colon + 1);
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

SmtpSink::SmtpSink(const Options& options)
    : port_(process_.StartPython(Arguments(options) << "--folder" << dir_.path())) {}

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

std::vector<SinkMessage> SmtpSink::Received() const {
    std::vector<SinkMessage> messages;
    for (const QString& name : QDir(dir_.path()).entryList({"*.env"}, QDir::Files, QDir::Name)) {
        const std::string base =
            dir_.path().toStdString() + "/" + QFileInfo(name).completeBaseName().toStdString();
        messages.push_back(ParseEnvelope(ReadWholeFile(base + ".env").value_or("")));
        messages.back().data = ReadWholeFile(base + ".eml").value_or("");
    }
    return messages;
}

}  // namespace sievo::testing
