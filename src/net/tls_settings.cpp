#include "net/tls_settings.h"

#include <QSslCertificate>
#include <cstdlib>

#include "config/text.h"

namespace sievo {

std::optional<TlsMode> ParseTlsMode(std::string_view text) {
    const std::string upper = ToUpperAscii(TrimBlanks(text));
    if (upper == "NONE")
        return TlsMode::None;
    if (upper == "SSL")
        return TlsMode::Ssl;
    if (upper == "STARTTLS")
        return TlsMode::StartTls;
    return std::nullopt;
}

std::string TlsFailureText(std::string_view reason) {
    return "TLS handshake failed: " + std::string(reason);
}

std::optional<QSslConfiguration> ClientTlsConfiguration(std::string& problem) {
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    config.setProtocol(QSsl::SecureProtocols);
    const char* caFile = std::getenv(kCaFileVariable);
    if (caFile == nullptr || *caFile == '\0')
        return config;
    const auto extra = QSslCertificate::fromPath(QString::fromLocal8Bit(caFile), QSsl::Pem,
                                                 QSslCertificate::PatternSyntax::FixedString);
    if (extra.isEmpty()) {
        problem = std::string("no CA certificate in ") + caFile;
        return std::nullopt;
    }
    // Setting a list ends Qt's on-demand loading of the system store, so it is named here.
    config.setCaCertificates(QSslConfiguration::systemCaCertificates() + extra);
    return config;
}

}  // namespace sievo
