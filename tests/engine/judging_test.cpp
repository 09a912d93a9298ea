#include "engine/judging.h"

#include "config/account.h"
#include "config/activity_log.h"
#include "engine/action_ledger.h"
#include "engine/scan_judge.h"
#include "mail/ms_remote_pop.h"
#include "pump_watch.h"
#include "recording_sender.h"
#include "recording_user.h"
#include "store/accounts_store.h"
#include "temp_home.h"
#include "test_rules.h"

namespace sievo {
namespace {

// Judges a mailbox of messages from the given senders, all with the Subject "offer".
class JudgingTest : public testing::TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        TheActivityLog().Open();
    }
    void Judge(const std::vector<std::string>& senders,
               const std::function<void(int)>& beforeMessage = {}) {
        pop = std::make_unique<TmsRemotePOP>();
        std::vector<std::string> keys;
        for (const auto& sender : senders) {
            TmsRemoteInfoItem item;
            item.Headers = {"From: " + sender, "Subject: offer"};
            keys.push_back(MessageKey("", item.Headers));
            pop->RemoteInfo().Add(item);
        }
        const TSievoUser account = accounts::ForCheck(1);
        ActionLedger ledger(account);
        PassFaults faults;
        ScanJudge judge(*pop, smtp, user, ledger, faults, keys, false);
        pump.onTurn = beforeMessage ? [&] { beforeMessage(pumps++); } : std::function<void()>();
        const bool stop = false;
        JudgeMailbox(pop->RemoteInfo(), account, judge, stop);
    }
    bool Deleted(int index) const { return pop->RemoteInfo()[index].MarkedForDelete(); }

    testing::PumpWatch pump;
    testing::RecordingUser user;
    testing::RecordingSender smtp;
    std::unique_ptr<TmsRemotePOP> pop;
    int pumps = 0;
};

// Rules are judged in number order and every hit clears the marks before it, so the last
// rule that hits a message decides whether it goes and whether it is copied to the bin.
TEST_F(JudgingTest, TheLastHittingRuleDecidesAndHitsReachTheFileWhenTheJudgingEnds) {
    RuleRecord copied = testing::Rule({"SUBCONT", "offer", true});
    copied.SendtoRecycle = true;
    rule_store::Append(copied);
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
    EXPECT_TRUE(Deleted(0));
    EXPECT_TRUE(Deleted(1));
    EXPECT_TRUE(Deleted(2));
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

}  // namespace
}  // namespace sievo
