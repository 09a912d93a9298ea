#pragma once

#include <QSslConfiguration>
#include <optional>
#include <string>
#include <string_view>

namespace sievo {

// How a connection is protected: not at all, TLS from the first byte, or TLS started by
// the protocol's own command after the greeting.
enum class TlsMode { None, Ssl, StartTls };

// The account keys' texts "NONE", "SSL", "STARTTLS" (any case); nothing for other text.
std::optional<TlsMode> ParseTlsMode(std::string_view text);

// Names a file of extra trusted CA certificates (PEM) next to the system's store.
inline constexpr const char* kCaFileVariable = "SIEVOMATIC_CA_FILE";

// What a client connection trusts: the system's CA store, plus the certificates of the
// file SIEVOMATIC_CA_FILE names. Peers are always verified. Nothing, with the problem
// stated, when that file holds no certificate: a mistyped path must not pass unnoticed.
std::optional<QSslConfiguration> ClientTlsConfiguration(std::string& problem);

// "TLS handshake failed: " + the reason.
std::string TlsFailureText(std::string_view reason);

}  // namespace sievo
