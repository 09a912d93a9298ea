#include "dns_server.h"

namespace sievo::testing {

DnsServer::DnsServer(const Options& options) {
    QStringList arguments{SIEVOMATIC_DNS_SERVER_SCRIPT, "--default",
                          QString::fromStdString(options.fallback), "--delay",
                          QString::number(options.delaySeconds)};
    for (const auto& [label, answer] : options.answers)
        arguments << "--answer" << QString::fromStdString(label + "=" + answer);
    if (!process_.Start(SystemPython(), arguments))
        return;
    const std::string port = process_.WaitForOutputLine("PORT ");
    if (!port.empty())
        port_ = static_cast<quint16>(std::stoi(port));
}

}  // namespace sievo::testing
