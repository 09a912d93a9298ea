#include "dns_server.h"

namespace sievo::testing {

DnsServer::DnsServer(const Options& options) {
    QStringList arguments{SIEVOMATIC_DNS_SERVER_SCRIPT, "--default",
                          QString::fromStdString(options.fallback), "--delay",
                          QString::number(options.delaySeconds)};
    for (const auto& [label, answer] : options.answers)
        arguments << "--answer" << QString::fromStdString(label + "=" + answer);
    port_ = process_.StartPython(arguments);
}

}  // namespace sievo::testing
