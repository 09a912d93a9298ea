#pragma once

#include <string>
#include <utility>
#include <vector>

#include "server_process.h"

namespace sievo::testing {

// dns_server.py on 127.0.0.1: answers A questions by the first label of the name with an
// IPv4 address, "nxdomain", "servfail" or "silent" (no answer).
class DnsServer {
public:
    struct Options {
        std::vector<std::pair<std::string, std::string>> answers{};  // first label, answer
        std::string fallback = "nxdomain";
        double delaySeconds = 0;
    };

    explicit DnsServer(const Options& options);

    bool Started() const { return port_ != 0; }
    std::string Error() const { return process_.Error(); }
    quint16 Port() const { return port_; }

private:
    ServerProcess process_;
    quint16 port_ = 0;
};

}  // namespace sievo::testing
