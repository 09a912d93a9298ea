#pragma once

#include <QTemporaryDir>
#include <string>
#include <vector>

#include "server_process.h"

namespace sievo::testing {

// One message the sink accepted, with its envelope.
struct SinkMessage {
    std::string mailFrom;
    std::vector<std::string> rcptTo;
    // The user name the client authenticated with; empty without AUTH.
    std::string login;
    bool tls = false;
    // The data as the client sent it, with the transfer's extra dots removed.
    std::string data;
};

// An aiosmtpd server on 127.0.0.1 that keeps every message it accepts; it answers 550 to
// every recipient that begins with "reject".
class SmtpSink {
public:
    enum class Tls { None, StartTls, Ssl };
    // Every member has an initializer, so a test may name only the ones it sets.
    struct Options {
        Tls tls = Tls::None;
        // PEM files of the server's certificate and key, needed for TLS.
        std::string certificateFile{};
        std::string keyFile{};
        // When set, AUTH PLAIN and LOGIN are offered and required.
        std::string user{};
        std::string password{};
        // Offers AUTH before TLS has started (by default only afterwards).
        bool authOverPlainText = false;
        // Offers AUTH LOGIN alone.
        bool authLoginOnly = false;
    };

    explicit SmtpSink(const Options& options);
    SmtpSink() : SmtpSink(Options{}) {}

    bool Started() const { return port_ != 0; }
    std::string Error() const { return process_.Error(); }
    std::string Address() const { return LocalAddress(port_); }

    // Every message accepted so far, in the order received.
    std::vector<SinkMessage> Received() const;

private:
    static QStringList Arguments(const Options& options);

    QTemporaryDir dir_;
    ServerProcess process_;
    quint16 port_ = 0;
};

}  // namespace sievo::testing
