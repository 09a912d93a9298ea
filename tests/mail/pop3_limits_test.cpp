#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTimer>
#include <chrono>
#include <functional>

#include "config/errors.h"
#include "mail/header_cache.h"
#include "mail/ms_remote_pop.h"
#include "scripted_server.h"
#include "socket_recording.h"
#include "temp_home.h"

namespace sievo {
namespace {

using namespace std::chrono_literals;
using testing::kPatientTimeOut;
using testing::ScriptedServer;

// Far longer than any case may take: a client that is never stopped is canceled then,
// and the case fails on the cancel instead of hanging.
constexpr int kWatchdogMs = 20000;
constexpr std::string_view kNotKept = "(not kept)";

std::string TopReply(int n) {
    return "+OK\r\nSubject: " + std::to_string(n) + "\r\n\r\nbody\r\n.\r\n";
}

// About `bytes` bytes of ordinary-looking header fields.
std::string FillerFields(std::size_t bytes) {
    const std::string field = "X-Filler: " + std::string(70, 'f') + "\r\n";
    std::string fields;
    while (fields.size() < bytes)
        fields += field;
    return fields;
}

std::string HugeTopReply(std::size_t bytes) {
    return "+OK\r\nSubject: huge\r\n" + FillerFields(bytes) + "\r\nbody\r\n.\r\n";
}

// Greeting, log-in and STAT of `count` messages; CAPA without pipelining, the UIDL reply
// given, and a LIST of sizes 100, 200, ...
void ScriptLogin(ScriptedServer& server, int count, const std::string& uidl) {
    server.Send("+OK ready\r\n").ReadLine().Send("+OK\r\n").ReadLine().Send("+OK\r\n");
    server.ReadLine().Send("+OK " + std::to_string(count) + " 1000\r\n");
    server.ReadLine().Send("+OK\r\nTOP\r\nUIDL\r\n.\r\n");
    server.ReadLine().Send(uidl);
    std::string sizes = "+OK\r\n";
    for (int n = 1; n <= count; ++n)
        sizes += std::to_string(n) + " " + std::to_string(n * 100) + "\r\n";
    server.ReadLine().Send(sizes + ".\r\n");
}

std::string Ids(int count) {
    std::string reply = "+OK\r\n";
    for (int n = 1; n <= count; ++n)
        reply += std::to_string(n) + " id" + std::to_string(n) + "\r\n";
    return reply + ".\r\n";
}

struct HostileCase {
    const char* name;
    int timeOut;
    // The first log-in goes to a port where nothing listens.
    bool refusedFirst;
    std::function<void(ScriptedServer&)> script;
    bool listingFails;
    // The Subject of each item listed, or kNotKept.
    std::vector<std::string> listed;
    std::vector<std::string> errors;
    // The ids "id1", "id2", ... the header cache holds afterwards.
    std::vector<std::string> cached;
};

void PrintTo(const HostileCase& c, std::ostream* out) {
    *out << c.name;
}

const HostileCase kCases[] = {
    {"a huge header block is listed but not kept, and the session stays in step",
     kPatientTimeOut,
     false,
     [](ScriptedServer& s) {
         ScriptLogin(s, 3, Ids(3));
         s.ReadLine().Send(TopReply(1));
         s.ReadLine().Send(HugeTopReply(2 * 1024 * 1024));
         s.ReadLine().Send(TopReply(3));
     },
     false,
     {"1", std::string(kNotKept), "3"},
     {"Header block of message 2 is too large to keep; the message is not judged"},
     {"id1", "id3"}},
    {"a header block that never ends times out within the reply's deadline",
     1,
     false,
     [](ScriptedServer& s) {
         ScriptLogin(s, 2, Ids(2));
         s.ReadLine().Send(TopReply(1));
         s.ReadLine().Send("+OK\r\n").SendForever(FillerFields(16 * 1024), 0ms);
     },
     true,
     {"1"},
     {"Operation timed out"},
     {}},
    {"a server that trickles one line at a time cannot stretch a reply",
     1,
     false,
     [](ScriptedServer& s) {
         ScriptLogin(s, 1, Ids(1));
         s.ReadLine().Send("+OK\r\nSubject: slow\r\n").SendForever("X-Drip: drop\r\n", 100ms);
     },
     true,
     {},
     {"Operation timed out"},
     {}},
    {"a UIDL reply beyond its bound counts as refused",
     kPatientTimeOut,
     false,
     [](ScriptedServer& s) {
         std::string uidl = "+OK\r\n1 id1\r\n";
         for (int n = 0; n < 1000; ++n)
             uidl += "2 id" + std::to_string(n) + "\r\n";
         ScriptLogin(s, 1, uidl + ".\r\n");
         s.ReadLine().Send(TopReply(1));
     },
     false,
     {"1"},
     {},
     {}},
    {"a refused connection leaves the client closed for the next log-in",
     kPatientTimeOut,
     true,
     [](ScriptedServer& s) {
         ScriptLogin(s, 1, Ids(1));
         s.ReadLine().Send(TopReply(1));
     },
     false,
     {"1"},
     {"Error #111: Connection refused"},
     {"id1"}},
};

class HostileServerTest : public testing::TempHomeTest,
                          public ::testing::WithParamInterface<HostileCase> {
protected:
    HostileServerTest() {
        pop.UserName = "sam";
        pop.Password = "secret";
        pop.KeepConnection = true;
        testing::RecordErrors(pop, errors);
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [this] { pop.Cancel(); });
    }

    static quint16 ClosedPort() {
        QTcpServer probe;
        EXPECT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        return probe.serverPort();
    }

    std::vector<std::string> Listed() const {
        std::vector<std::string> listed;
        for (const auto& item : pop.RemoteInfo()) {
            const bool unkept = item.HeaderTooLarge && item.Headers.empty();
            listed.push_back(unkept ? std::string(kNotKept)
                                    : GetHeaderField(item.Headers, "Subject"));
        }
        return listed;
    }

    std::vector<std::string> Cached(int count) const {
        const auto cache = THeaderCache::Load(pop.HeaderCacheFile, "sam@" + server.Address());
        std::vector<std::string> cached;
        for (int n = 1; n <= count; ++n) {
            const std::string id = "id" + std::to_string(n);
            if (cache.Find(id))
                cached.push_back(id);
        }
        return cached;
    }

    ScriptedServer server;
    TmsRemotePOP pop;
    QTimer watchdog;
    std::vector<std::string> errors;
};

TEST_P(HostileServerTest, ListingStaysBoundedInTimeAndMemory) {
    const HostileCase& c = GetParam();
    c.script(server);
    pop.SetTimeOut(c.timeOut);
    pop.HeaderCacheFile = PathOf("headers.cache");
    if (c.refusedFirst) {
        pop.Server = "127.0.0.1:" + std::to_string(ClosedPort());
        EXPECT_THROW(pop.ConnectAndLogin(), ESocketError);
        EXPECT_FALSE(pop.Connected());
    }
    pop.Server = server.Address();
    watchdog.start(kWatchdogMs);
    bool failed = false;
    try {
        pop.UpdateInfo();
    } catch (const Exception& error) {
        failed = true;
        EXPECT_EQ(error.what(), errors.back());
    }
    EXPECT_EQ(failed, c.listingFails);
    EXPECT_EQ(pop.Connected(), !c.listingFails);
    EXPECT_EQ(Listed(), c.listed);
    EXPECT_EQ(errors, c.errors);
    EXPECT_EQ(Cached(3), c.cached);
}

INSTANTIATE_TEST_SUITE_P(Pop3, HostileServerTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace sievo
