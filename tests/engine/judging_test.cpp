#include "engine/judging.h"

#include "config/account.h"
#include "config/activity_log.h"
#include "engine/action_ledger.h"
#include "engine/scan_judge.h"
#include "log_lines.h"
#include "mail/ms_remote_pop.h"
#include "net/dns_resolver.h"
#include "pump_watch.h"
#include "recording_sender.h"
#include "recording_user.h"
#include "store/accounts_store.h"
#include "temp_home.h"
#include "test_rules.h"

namespace sievo {
namespace {

// Answers from a table by name (not listed otherwise) and records every name asked.
class TableResolver : public DnsResolver {
public:
    std::vector<DnsReply> LookUpAddresses(const std::vector<std::string>& names,
                                          std::chrono::milliseconds) override {
        std::vector<DnsReply> replies;
        for (const std::string& name : names) {
            asked.push_back(name);
            const auto known = answers.find(name);
            replies.push_back(known != answers.end() ? known->second
                                                     : DnsReply{DnsStatus::kNoSuchName, {}});
        }
        return replies;
    }
    std::map<std::string, DnsReply> answers;
    std::vector<std::string> asked;
};

// Judges a mailbox of messages from the given senders, all with the Subject "offer".
class JudgingTest : public testing::TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        TheActivityLog().Open();
    }
    void Judge(const std::vector<std::string>& senders,
               const std::function<void(int)>& beforeMessage = {},
               const std::vector<std::string>& relays = {}) {
        pop = std::make_unique<TmsRemotePOP>();
        std::vector<std::string> keys;
        for (std::size_t i = 0; i < senders.size(); ++i) {
            TmsRemoteInfoItem item;
            item.Headers = {"From: " + senders[i], "Subject: offer"};
            if (i < relays.size())
                item.Headers.push_back("Received: from h (h [" + relays[i] + "]) by mx");
            keys.push_back(MessageKey("", item.Headers));
            pop->RemoteInfo().Add(item);
        }
        const TSievoUser account = accounts::ForCheck(1);
        ActionLedger ledger(account);
        PassFaults faults;
        ScanJudge judge(*pop, smtp, user, ledger, faults, keys, false);
        pump.onTurn = beforeMessage ? [&] { beforeMessage(pumps++); } : std::function<void()>();
        const bool stop = false;
        JudgeMailbox(pop->RemoteInfo(), account, judge, stop, resolver);
    }
    bool Deleted(int index) const { return pop->RemoteInfo()[index].MarkedForDelete(); }

    testing::PumpWatch pump;
    testing::RecordingUser user;
    testing::RecordingSender smtp;
    TableResolver resolver;
    std::unique_ptr<TmsRemotePOP> pop;
    int pumps = 0;
};

// Rules are judged in number order and every hit clears the marks before it, so the last
// rule that hits a message decides whether it goes and whether it is copied to the bin.
TEST_F(JudgingTest, TheLastHittingRuleDecidesAndHitsReachTheFileWhenTheJudgingEnds) {
    testing::AddRule({.criteria = "SUBCONT", .value = "offer", .trash = true});
    testing::AddRule({"FROM", "b@", false});
    Judge({"a@x.test", "b@x.test", "c@x.test"});
    EXPECT_TRUE(Deleted(0) && pop->RemoteInfo()[0].MarkedForRetrieve());
    EXPECT_FALSE(Deleted(1) || pop->RemoteInfo()[1].MarkedForRetrieve());
    EXPECT_EQ(testing::RuleHits(1), 3);
    EXPECT_EQ(testing::RuleHits(2), 1);
}

TEST_F(JudgingTest, AListChangedDuringTheJudgingCountsFromTheNextMessage) {
    WriteFile("sievo.lst", "first.test\n");
    testing::AddRule({"LIST", "", true});
    // The spammer lookup lets the interface run; the user saves a new list meanwhile.
    Judge({"a@first.test", "b@second.test", "c@second.test"}, [this](int turn) {
        if (turn == 1)
            WriteFile("sievo.lst", "second.test\n");  // after the first read
    });
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(Deleted(i)) << i;
}

TEST_F(JudgingTest, ARuleChangedDuringTheJudgingCountsFromTheNextMessage) {
    WriteFile("sievo.lst", "x.test\n");
    testing::AddRule({"LIST", "", false});
    Judge({"a@x.test", "b@x.test"}, [this](int turn) {
        if (turn == 0)
            rule_store::Save(1, testing::Rule({"LIST", "", true}));
    });
    EXPECT_FALSE(Deleted(0));
    EXPECT_TRUE(Deleted(1));
}

// Every relay is asked about once per zone before the judging; only a listing code counts.
TEST_F(JudgingTest, BlocklistRulesAskEachRelayOnceAndCountOnlyListings) {
    const testing::LogWatch log;
    testing::AddRule({"DNSBL", " Zen.Example. ", true});
    testing::AddRule({"DNSBL", "", true});  // no zone: never asked, never hits
    const auto answer = [](std::uint32_t address) {
        return DnsReply{DnsStatus::kAnswered, {address}};
    };
    resolver.answers = {
        {"4.101.220.185.zen.example", answer(0x7f000002)},  // listed
        {"10.147.95.45.zen.example", answer(0x7ffffffe)},   // an error code
        {"5.240.92.91.zen.example", answer(0x0a000001)},    // outside 127/8
        {"21.146.169.81.zen.example", {DnsStatus::kTimedOut, {}}},
        {"1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0.c.1.c.1.8.f.4.0.1.0.a.2.zen.example",
         answer(0x7f00000a)},
    };
    Judge({"a@x", "b@x", "c@x", "d@x", "e@x", "f@x", "g@x"}, {},
          {"185.220.101.4", "45.95.147.10", "91.92.240.5", "81.169.146.21",
           "IPv6:2a01:4f8:1c1c:1::1", "185.220.101.4", "10.0.0.1"});
    EXPECT_EQ(resolver.asked.size(), 5U);
    const bool expected[] = {true, false, false, false, true, true, false};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(Deleted(i), expected[i]) << i;
    EXPECT_EQ(testing::RuleHits(1), 3);
    const auto aboutBlocklists = [](const std::string& line) {
        return line.find("DNS blocklists:") != std::string::npos;
    };
    // One line for the unanswered lookup, one for the two errors.
    EXPECT_EQ(std::ranges::count_if(log.Texts(), aboutBlocklists), 2);
}

}  // namespace
}  // namespace sievo
