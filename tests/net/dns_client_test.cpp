#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <chrono>
#include <fstream>

#include "dns_server.h"
#include "net/dns_resolver.h"

namespace sievo {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::vector<DnsReply> LookUp(const testing::DnsServer& server,
                             const std::vector<std::string>& names,
                             std::chrono::milliseconds deadline) {
    return UdpDnsResolver({QHostAddress::LocalHost, server.Port()})
        .LookUpAddresses(names, deadline);
}

TEST(UdpDnsResolver, ListedNotListedErrorsAndSilenceWithinTheDeadline) {
    const testing::DnsServer server({{{"listed", "127.0.0.2"},
                                      {"error", "127.255.255.254"},
                                      {"failing", "servfail"},
                                      {"silent", "silent"}}});
    ASSERT_TRUE(server.Started()) << server.Error();
    const auto start = Clock::now();
    const auto replies = LookUp(server,
                                {"listed.bl.test", "clean.bl.test", "error.bl.test.",
                                 "failing.bl.test", "silent.bl.test", "bad..bl.test"},
                                800ms);
    const auto took = Clock::now() - start;
    ASSERT_EQ(replies.size(), 6U);
    EXPECT_EQ(replies[0].status, DnsStatus::kAnswered);
    EXPECT_EQ(replies[0].addresses, std::vector<std::uint32_t>{0x7f000002});
    EXPECT_EQ(replies[1].status, DnsStatus::kNoSuchName);
    EXPECT_EQ(replies[2].addresses, std::vector<std::uint32_t>{0x7ffffffe});
    EXPECT_EQ(replies[3].status, DnsStatus::kFailed);
    EXPECT_EQ(replies[4].status, DnsStatus::kTimedOut);
    EXPECT_EQ(replies[5].status, DnsStatus::kFailed);  // never sent
    EXPECT_GE(took, 800ms);
    EXPECT_LT(took, 3s);
}

// Lookups overlap: hundreds of answers that each take 300 ms arrive in a few round trips,
// and a server that answers nothing costs one deadline, not one per batch of questions.
TEST(UdpDnsResolver, ManyLookupsWaitAboutOneRoundTripInAll) {
    const struct {
        testing::DnsServer::Options server;
        int names;
        std::chrono::milliseconds deadline, limit;
        DnsStatus status;
    } cases[] = {
        {{{}, "127.0.0.2", 0.3}, 300, 5s, 4s, DnsStatus::kAnswered},  // one by one: 90 s
        {{{}, "silent"}, 600, 500ms, 1500ms, DnsStatus::kTimedOut},   // batch by batch: 2.5 s
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.server.fallback);
        const testing::DnsServer server(c.server);
        ASSERT_TRUE(server.Started()) << server.Error();
        std::vector<std::string> names;
        for (int i = 0; i < c.names; ++i)
            names.push_back("x." + std::to_string(i) + ".bl.test");
        const auto start = Clock::now();
        const auto replies = LookUp(server, names, c.deadline);
        EXPECT_LT(Clock::now() - start, c.limit);
        EXPECT_TRUE(std::all_of(replies.begin(), replies.end(),
                                [&](const DnsReply& reply) { return reply.status == c.status; }));
    }
}

TEST(DecodeAddressReply, TakesOnlyTheAnswerToTheQuestionAsked) {
    const std::string query = EncodeAddressQuery(0x1234, "a.bl.test");
    std::string answer = query;
    answer[2] = static_cast<char>(0x81);  // a response
    answer[7] = 1;                        // with one answer
    answer += std::string("\xc0\x0c\0\x01\0\x01\0\0\0\x3c\0\x04\x7f\0\0\x02", 16);
    EXPECT_EQ(DecodeAddressReply(answer, 0x1234, "A.bl.test")->addresses,
              std::vector<std::uint32_t>{0x7f000002});
    EXPECT_FALSE(DecodeAddressReply(answer, 0x1235, "a.bl.test"));  // another id
    EXPECT_FALSE(DecodeAddressReply(answer, 0x1234, "b.bl.test"));  // another question
    EXPECT_FALSE(DecodeAddressReply(query, 0x1234, "a.bl.test"));   // no response
    EXPECT_FALSE(DecodeAddressReply(answer.substr(0, answer.size() - 2), 0x1234, "a.bl.test"));
    std::string loop = answer;
    loop.replace(query.size(), 2, "\xc0\x1b");  // the answer's name points at itself
    EXPECT_FALSE(DecodeAddressReply(loop, 0x1234, "a.bl.test"));
    EXPECT_EQ(EncodeAddressQuery(1, std::string(64, 'x') + ".test"), "");
}

TEST(NameServerOf, TheFirstNameServerLineOrTheLocalHost) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("resolv.conf").toStdString();
    std::ofstream(path) << "# nameserver 9.9.9.9\nsearch example\nnameserver ::1\n"
                           "nameserver 10.9.8.7\n";
    EXPECT_EQ(NameServerOf(path).address, QHostAddress("::1"));
    EXPECT_EQ(NameServerOf(dir.filePath("none").toStdString()).address,
              QHostAddress(QHostAddress::LocalHost));
}

}  // namespace
}  // namespace sievo
