// Times the judging of a large mailbox: generated header blocks judged by 100 rules of all
// five kinds, with a spammer list of a million lines and a friends list of ten thousand.
// Usage: judging_bench [messages] [--naive]
//   --naive re-reads every file at every use, as a comparison.
#include <fcntl.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>

#include "config/activity_log.h"
#include "config/file_cache.h"
#include "config/file_io.h"
#include "config/ini_file.h"
#include "engine/rule.h"
#include "judged_listing.h"
#include "net/dns_resolver.h"
#include "resource_usage.h"

namespace {

using namespace sievo;

constexpr int kRulesPerKind = 20;
constexpr int kSpammerLines = 1000000;
constexpr int kFriendLines = 10000;

// Written a minute in the past, as a user's files are when a check starts: a file only
// seconds old is read again at every use until it settles, which is not what is measured.
void Write(const std::string& path, const std::string& text) {
    constexpr time_t kAge = 60;
    const timespec written[2] = {{time(nullptr) - kAge, 0}, {time(nullptr) - kAge, 0}};
    if (!WriteFileAtomically(path, text) || utimensat(AT_FDCWD, path.c_str(), written, 0) != 0)
        throw std::runtime_error("cannot write " + path);
}

void WriteRules(const std::string& home) {
    std::string ini = "[ProcedureCount]\r\nNumProcs=" + std::to_string(5 * kRulesPerKind) + "\r\n";
    const char* kinds[] = {"SUBCONT", "HEADER", "FROM", "FROMNUM", "LIST"};
    int n = 0;
    for (int k = 0; k < kRulesPerKind; ++k) {
        for (const char* kind : kinds) {
            const std::string i = std::to_string(k);
            const std::string value = std::string(kind) == "SUBCONT"  ? "offer " + i
                                      : std::string(kind) == "HEADER" ? "x-campaign: c" + i
                                      : std::string(kind) == "FROM"   ? "promo" + i + "@"
                                                                      : "";
            ini += "\r\n[PROCEDURE" + std::to_string(++n) + "]\r\nCriteria=" + kind +
                   "\r\nValue=" + value +
                   "\r\nActive=1\r\nDeleteAction=1\r\nBeep=0\r\nReply=0\r\nReport=0"
                   "\r\nConfirm=0\r\nSendtoRecycle=1\r\nNumHits=0\r\n";
        }
    }
    Write(home + "rules.ini", ini);
}

void WriteLists(const std::string& home) {
    std::string spammers;
    spammers.reserve(std::size_t(kSpammerLines) * 28);
    for (int i = 0; i < kSpammerLines; ++i)
        spammers += (i % 2 ? "seller" + std::to_string(i) + "@bulk" + std::to_string(i % 5000)
                           : "spamhost" + std::to_string(i)) +
                    ".test\r\n";
    Write(home + "sievo.lst", spammers);
    std::string friends;
    for (int i = 0; i < kFriendLines; ++i)
        friends += "friend" + std::to_string(i) + "@pals" + std::to_string(i % 100) + ".test\r\n";
    Write(home + "friends.lst", friends);
}

// Forty-odd lines like a real header; about one message in three is spam of some kind.
TmsHeaders Headers(int n) {
    const std::string i = std::to_string(n), k = std::to_string(n % kRulesPerKind);
    std::string from = "Someone <person" + i + "@mail" + std::to_string(n % 300) + ".test>";
    std::string subject = "Notes for meeting " + i;
    std::string campaign = "none";
    switch (n % 12) {
        case 0:
            subject = "Special offer " + k + " today";
            break;
        case 1:
            campaign = "c" + k;
            break;
        case 2:
            from = "Promo <promo" + k + "@shop.test>";
            break;
        case 3:
            from = i + "777@numbers.test";
            break;
        case 4:
            from = "seller" + std::to_string(2 * n + 1) + "@bulk1.test";
            break;
        case 5:
            from = "x@spamhost" + std::to_string(2 * n) + ".test";
            break;
        case 6:
            from = "friend" + std::to_string(n % kFriendLines) + "@pals" +
                   std::to_string(n % kFriendLines % 100) + ".test";
            subject = "Special offer 1 from a friend";
            break;
    }
    TmsHeaders headers;
    for (int hop = 0; hop < 6; ++hop) {
        headers.push_back("Received: from relay" + std::to_string(hop) + ".example.net (relay" +
                          std::to_string(hop) + " [192.0.2." + std::to_string(hop) + "])");
        headers.push_back("\tby mx.example.org with ESMTPS id " + i + "; Mon, 7 Dec 2026");
    }
    for (const std::string& line : std::vector<std::string>{
             "Return-Path: <bounce" + i + "@mail.test>", "From: " + from, "To: sam@localhost",
             "Subject: " + subject, "Date: Mon, 7 Dec 2026 09:00:00 +0000",
             "Message-ID: <" + i + "@mail.test>", "MIME-Version: 1.0",
             "Content-Type: text/plain; charset=us-ascii", "X-Campaign: " + campaign})
        headers.push_back(line);
    for (int extra = 0; extra < 20; ++extra)
        headers.push_back("X-Filler-" + std::to_string(extra) + ": " + std::string(40, 'f'));
    return headers;
}

}  // namespace

using sievo::bench::CpuSeconds;
using sievo::bench::PeakMegabytes;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int messages = argc > 1 ? std::atoi(argv[1]) : 10000;
    const bool naive = argc > 2 && std::string(argv[2]) == "--naive";
    QTemporaryDir dir;
    setenv("SIEVOMATIC_HOME", dir.path().toStdString().c_str(), 1);
    const std::string home = dir.path().toStdString() + "/";
    WriteRules(home);
    WriteLists(home);
    TIniFile(AccountsPath()).WriteString("USER1", "POPUser", "sam");
    SetFileCaching(!naive);
    TheActivityLog().Open();  // as in a check: lines are made, detail lines dropped

    bench::JudgedListing listing(messages, Headers);
    const double cpuBefore = CpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    UdpDnsResolver resolver;  // no DNSBL rule here: never asked
    listing.Judge(resolver);
    const double cpu = CpuSeconds() - cpuBefore;
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallBefore;

    long hits = 0;
    for (int n = 1; n <= rule_store::Count(); ++n)
        hits += TSievoRule(n).NumHits;
    std::cout << (naive ? "naive" : "cached") << ": " << messages << " messages x "
              << rule_store::Count() << " rules: " << cpu << " s CPU, " << wall.count()
              << " s wall, peak " << PeakMegabytes() << " MB; " << listing.Condemned()
              << " condemned, " << hits << " hits counted\n";
    return 0;
}
