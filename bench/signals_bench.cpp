// Times the judging of a large mailbox by one rule of each kind that reads the mail
// server's signals: failed authentication, the spam flag and a DNS blocklist, the last
// asked through the program's DNS client of a local server that answers after 50 ms.
// Usage: signals_bench [messages] [distinct relay addresses]
#include <QCoreApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>

#include "config/activity_log.h"
#include "config/ini_file.h"
#include "dns_server.h"
#include "engine/rule.h"
#include "judged_listing.h"
#include "net/dns_resolver.h"

namespace {

using namespace sievo;

constexpr double kAnswerDelaySeconds = 0.05;

// Every relay whose address ends in .7 is listed.
constexpr const char* kListedLastByte = "7";

std::string Relay(int n, int relays) {
    const int r = n % relays;
    return "45." + std::to_string(64 + r / 65536 % 64) + "." + std::to_string(r / 256 % 256) + "." +
           std::to_string(r % 256);
}

// A header block of a large provider: its own hops, its verdicts, then the sender's part.
TmsHeaders Headers(int n, int relays) {
    const std::string i = std::to_string(n);
    const bool dmarcFails = n % 10 == 0;
    return {
        "Received: from localhost (localhost [127.0.0.1]) by mx.example.net (Postfix)",
        "Received: from edge.example.net (edge [10.0.0.5]) by mx.example.net",
        "Received: from sender" + i + ".example (sender" + i + ".example [" + Relay(n, relays) +
            "])",
        "\tby edge.example.net with ESMTPS id " + i + "; Mon, 7 Dec 2026 09:00:00 +0000",
        "Authentication-Results: mx.example.net; dkim=pass header.d=s" + i +
            ".example header.b=Ab/c+d=;",
        "\tspf=pass (sender ip is ok) smtp.mailfrom=s" + i + ".example;",
        std::string("\tdmarc=") + (dmarcFails ? "fail" : "pass") + " header.from=s" + i +
            ".example",
        std::string("X-Spam-Status: ") + (n % 7 == 0 ? "Yes" : "No") +
            ", score=" + std::to_string(n % 13) + ".5 required=5.0 tests=BAYES_50",
        "Received: from forged.example (forged [8.8.8.8]) by sender" + i + ".example",
        "Authentication-Results: mx.example.net; dmarc=pass",
        "From: Someone <person" + i + "@s" + i + ".example>",
        "Subject: Notes for meeting " + i,
        "Message-ID: <" + i + "@s" + i + ".example>",
    };
}

void WriteRules() {
    const char* rules[][2] = {{"AUTHFAIL", "dmarc"}, {"SPAMFLAG", "9"}, {"DNSBL", "bl.test"}};
    for (const auto& [criteria, value] : rules) {
        RuleRecord rule;
        rule.Criteria = criteria;
        rule.Value = value;
        rule.Reply = rule.Report = rule.SendtoRecycle = false;
        rule_store::Append(rule);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int messages = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int relays = argc > 2 ? std::atoi(argv[2]) : 2000;
    QTemporaryDir dir;
    setenv("SIEVOMATIC_HOME", dir.path().toStdString().c_str(), 1);
    TIniFile(AccountsPath()).WriteString("USER1", "POPUser", "sam");
    WriteRules();
    const testing::DnsServer server(
        {{{kListedLastByte, "127.0.0.2"}}, "nxdomain", kAnswerDelaySeconds});
    if (!server.Started()) {
        std::cerr << "DNS server: " << server.Error() << "\n";
        return 1;
    }
    TheActivityLog().Open();

    bench::JudgedListing listing(messages, [relays](int n) { return Headers(n, relays); });
    UdpDnsResolver resolver({QHostAddress::LocalHost, server.Port()});
    const auto before = std::chrono::steady_clock::now();
    listing.Judge(resolver);
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - before;

    std::cout << messages << " messages, " << std::min(messages, relays)
              << " distinct relays, answers after " << kAnswerDelaySeconds * 1000
              << " ms: " << wall.count() << " s wall; " << listing.Condemned()
              << " condemned; hits AUTHFAIL " << TSievoRule(1).NumHits << ", SPAMFLAG "
              << TSievoRule(2).NumHits << ", DNSBL " << TSievoRule(3).NumHits << "\n";
    return 0;
}
