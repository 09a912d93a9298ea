#pragma once

#include <QHostAddress>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "net/dns_message.h"

namespace sievo {

// Looks up the A records of many names at once.
class DnsResolver {
public:
    virtual ~DnsResolver() = default;
    // One reply per name, in the order of `names`; each lookup has `deadline` to be
    // answered. Waits with events pumped, so the program stays responsive.
    virtual std::vector<DnsReply> LookUpAddresses(const std::vector<std::string>& names,
                                                  std::chrono::milliseconds deadline) = 0;
};

struct DnsNameServer {
    QHostAddress address;
    quint16 port = 53;
};

// The first "nameserver" of a resolv.conf file; the local host when there is none, as the
// C library has it.
DnsNameServer NameServerOf(const std::string& resolvConf);

// Asks one name server over UDP, many questions in flight at once, each once.
class UdpDnsResolver : public DnsResolver {
public:
    // Questions outstanding at once: enough that thousands of lookups take a few round
    // trips, few enough not to flood a home router's resolver.
    static constexpr std::size_t kMaxInFlight = 128;

    // The system's name server, read from /etc/resolv.conf at each lookup.
    UdpDnsResolver() = default;
    explicit UdpDnsResolver(DnsNameServer server) : server_(std::move(server)) {}

    // When a lookup has gone unanswered and nothing at all has been answered for a whole
    // deadline, the server is taken to be silent: the questions not yet asked count as
    // timed out at once instead of each waiting out its own deadline.
    std::vector<DnsReply> LookUpAddresses(const std::vector<std::string>& names,
                                          std::chrono::milliseconds deadline) override;

private:
    std::optional<DnsNameServer> server_;
};

}  // namespace sievo
