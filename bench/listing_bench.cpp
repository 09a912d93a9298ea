// Times the POP3 listing against a private Dovecot on 127.0.0.1: from the connection to
// the end of UpdateInfo, pipelined and one command at a time, directly and through a
// proxy that delays each direction by 20 ms; then the bytes of a rescan with the header
// cache against those of the first scan.
// Usage: listing_bench [naive-messages-at-40ms]
//   One command at a time over 40 ms takes about a round trip per message, so it is timed
//   with fewer messages (100 unless given) and scaled up linearly.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "delay_proxy.h"
#include "dovecot_server.h"
#include "mail/ms_remote_pop.h"
#include "realistic_messages.h"

namespace {

using namespace sievo;
using bench::RealisticMessage;
using bench::RealisticMessages;
using testing::DovecotServer;

constexpr std::chrono::milliseconds kOneWayDelay{20};
constexpr int kDefaultNaiveMessages = 100;
constexpr int kTimeOutSeconds = 600;
// CPU seconds of this process so far, to tell the client's share from the server's.
double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Listing {
    double seconds = 0;
    double cpuSeconds = 0;
    qint64 bytes = 0;
    TmsRemoteInfo info;
};

Listing List(std::uint16_t port, bool oneAtATime, const std::string& cacheFile = "") {
    TmsRemotePOP pop;
    pop.SetTimeOut(kTimeOutSeconds);
    pop.Server = "127.0.0.1:" + std::to_string(port);
    pop.UserName = DovecotServer::kUserName;
    pop.Password = DovecotServer::kPassword;
    pop.IgnorePipelining = oneAtATime;
    pop.HeaderCacheFile = cacheFile;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    pop.UpdateInfo();
    Listing listing;
    listing.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    listing.cpuSeconds = CpuSeconds() - cpuStart;
    listing.bytes = pop.BytesReceived();
    listing.info.Assign(pop.RemoteInfo());
    return listing;
}

std::uint16_t PortOf(const DovecotServer& server) {
    const std::string address = server.PlainAddress();
    return static_cast<std::uint16_t>(std::stoi(address.substr(address.rfind(':') + 1)));
}

std::unique_ptr<DovecotServer> StartServer(int count) {
    auto server =
        std::make_unique<DovecotServer>(DovecotServer::Options{RealisticMessages(count), "", ""});
    if (!server->Started()) {
        std::cerr << server->Error() << "\n";
        std::exit(EXIT_FAILURE);
    }
    return server;
}

void Row(const std::string& what, int count, double seconds, const std::string& note) {
    std::printf("%-44s %6d msgs %9.3f s %10.0f msgs/s  %s\n", what.c_str(), count, seconds,
                count / seconds, note.c_str());
}

void Row(const std::string& what, int count, const Listing& listing) {
    Row(what, count, listing.seconds,
        "client CPU " + std::to_string(static_cast<int>(listing.cpuSeconds * 1000)) + " ms");
}

void TimeListings(int count) {
    const auto server = StartServer(count);
    const std::uint16_t port = PortOf(*server);
    List(port, false);  // warms Dovecot's index, which its first session builds
    Row("pipelined, no delay", count, List(port, false));
    Row("one at a time, no delay", count, List(port, true));
    const sievo::bench::DelayProxy proxy(port, kOneWayDelay);
    Row("pipelined, 40 ms round trip", count, List(proxy.Port(), false));
}

void TimeNaiveOverDelay(int count, const std::vector<int>& scaled) {
    const auto server = StartServer(count);
    const sievo::bench::DelayProxy proxy(PortOf(*server), kOneWayDelay);
    const Listing listing = List(proxy.Port(), true);
    const double seconds = listing.seconds;
    Row("one at a time, 40 ms round trip (measured)", count, listing);
    for (const int target : scaled)
        Row("one at a time, 40 ms round trip (scaled)", target, seconds * target / count,
            "from " + std::to_string(count));
}

bool SameListing(const TmsRemoteInfo& a, const TmsRemoteInfo& b) {
    if (a.Count() != b.Count())
        return false;
    for (int i = 0; i < a.Count(); ++i) {
        if (a[i].Headers != b[i].Headers || a[i].Size != b[i].Size ||
            a[i].UniqueId != b[i].UniqueId)
            return false;
    }
    return true;
}

bool MeasureRescan(int count) {
    const auto server = StartServer(count);
    QTemporaryDir folder;
    const std::string cache = folder.path().toStdString() + "/headers.cache";
    const Listing first = List(PortOf(*server), false, cache);
    const Listing second = List(PortOf(*server), false, cache);
    const bool same = SameListing(first.info, second.info);
    std::printf(
        "rescan of %d messages: first %lld bytes in %.3f s, second %lld bytes in %.3f s "
        "(%.2f%%), same header blocks: %s\n",
        count, static_cast<long long>(first.bytes), first.seconds,
        static_cast<long long>(second.bytes), second.seconds,
        100.0 * static_cast<double>(second.bytes) / static_cast<double>(first.bytes),
        same ? "yes" : "NO");
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int naive = argc > 1 ? std::atoi(argv[1]) : kDefaultNaiveMessages;
    std::printf("header block of a message: %zu bytes\n", RealisticMessage(1).find("\r\n\r\n") + 2);
    for (const int count : {1000, 10000})
        TimeListings(count);
    TimeNaiveOverDelay(naive, {1000, 10000});
    return MeasureRescan(10000) ? EXIT_SUCCESS : EXIT_FAILURE;
}
