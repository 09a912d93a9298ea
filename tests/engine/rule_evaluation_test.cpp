#include "engine/rule_evaluation.h"

#include <algorithm>
#include <map>

#include "config/account.h"
#include "config/activity_log.h"
#include "config/ini_file.h"
#include "config/settings.h"
#include "engine/rule.h"
#include "engine/sievo_message.h"
#include "log_lines.h"
#include "recording_host.h"
#include "temp_home.h"
#include "test_rules.h"

namespace sievo {
namespace {

// Records what the hits asked for, in order.
class RecordingActions : public RuleHitActions {
public:
    void CountHit(int rule) override {
        HitTally tally;
        tally.Count(rule);
        tally.Flush();
    }
    void Unmark(int index) override { marks[index] = {}; }
    void MarkForDelete(int index) override { marks[index].deleted = true; }
    void MarkForRetrieve(int index) override { marks[index].retrieved = true; }
    void AddtoDeleteQueue(int index) override { queue.push_back(index); }
    void PlayHitSound() override { calls.push_back("sound"); }
    void SendReport(const TSievoUser&, const TSievoRule& rule, const TSievoMessage&) override {
        calls.push_back("report " + std::to_string(rule.Index));
    }
    void SendReply(const TSievoUser&, const TSievoRule& rule, const TSievoMessage&) override {
        calls.push_back("reply " + std::to_string(rule.Index));
    }

    struct Marks {
        bool deleted = false;
        bool retrieved = false;
    };
    std::map<int, Marks> marks;
    std::vector<int> queue;
    std::vector<std::string> calls;
};

class RuleEvaluationTest : public testing::TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        TheActivityLog().Open();
        watch = std::make_unique<testing::LogWatch>();
    }
    std::vector<std::string> Logged() const { return watch->Texts(); }

    // Evaluates every rule in number order against one message, as a scan does.
    void Judge(const std::vector<std::string>& headers, int index = 0) {
        const TSievoUser account(1);
        for (int n = 1; n <= RuleCount(); ++n) {
            const TSievoRule rule(n);
            const TSievoMessage message(headers, index);
            if (rule.Active)
                EvaluateRule(actions, account, rule, message);
        }
    }

    testing::RecordingHost host;
    RecordingActions actions;
    std::unique_ptr<testing::LogWatch> watch;
};

const std::vector<std::string> kFreeStuffFromNews = {"From: news@x", "Subject: FREE stuff"};

TEST_F(RuleEvaluationTest, TheLastHittingRuleDecidesAndEveryHitCounts) {
    testing::AddRule({"SUBCONT", "free", true});
    testing::AddRule({"FROM", "news", false});
    Judge(kFreeStuffFromNews);
    EXPECT_FALSE(actions.marks[0].deleted);
    EXPECT_EQ(testing::RuleHits(1), 1);
    EXPECT_EQ(testing::RuleHits(2), 1);
    EXPECT_EQ(Logged(),
              (std::vector<std::string>{
                  "Message deleted by RULE: The subject contains \"free\" -- SUBJECT: FREE stuff",
                  "Message will NOT be deleted by RULE: The message is from  \"news\" -- SUBJECT: "
                  "FREE stuff"}));
}

TEST_F(RuleEvaluationTest, TheSameRulesInTheOtherOrderDelete) {
    testing::AddRule({"FROM", "news", false});
    testing::AddRule({"SUBCONT", "free", true});
    Judge(kFreeStuffFromNews);
    EXPECT_TRUE(actions.marks[0].deleted);
}

TEST_F(RuleEvaluationTest, AKeepingSubjectRuleActsWithoutALogLine) {
    testing::AddRule({"SUBCONT", "free", false, true, true});
    Judge(kFreeStuffFromNews);
    EXPECT_TRUE(Logged().empty());
    EXPECT_EQ(testing::RuleHits(1), 1);
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"sound", "report 1", "reply 1"}));
    EXPECT_TRUE(actions.marks[0].retrieved);  // copied to the Trash, kept on the server
    EXPECT_FALSE(actions.marks[0].deleted);
    EXPECT_TRUE(actions.queue.empty());  // a keeping rule never asks for confirmation
}

TEST_F(RuleEvaluationTest, OnlyTheLettersAToZIgnoreCase) {
    testing::AddRule({"SUBCONT", "free", true});
    testing::AddRule({"SUBCONT", "\xC3\xA9t\xC3\xA9", true});  // "été"
    Judge({"Subject: FREE \xC3\x89T\xC3\x89"}, 0);             // "ÉTÉ"
    Judge({"Subject: un \xC3\xA9t\xC3\xA9"}, 1);
    EXPECT_EQ(testing::RuleHits(1), 1);
    EXPECT_EQ(testing::RuleHits(2), 1);  // only the message with the same accented letters
    EXPECT_TRUE(actions.marks[1].deleted);
}

TEST_F(RuleEvaluationTest, EmptyValuesNeverMatchAndUnknownCriteriaDoNothing) {
    testing::AddRule({"SUBCONT", "", true});
    testing::AddRule({"subcont", "free", true});
    testing::AddRule({"HEADER", "", true});
    Judge(kFreeStuffFromNews);
    EXPECT_TRUE(actions.marks.empty());
    EXPECT_EQ(testing::RuleHits(1) + testing::RuleHits(2) + testing::RuleHits(3), 0);
}

TEST_F(RuleEvaluationTest, HeaderRulesSeeEveryLineButNotAcrossAFold) {
    testing::AddRule({"HEADER", "x-mailer: bulk", true});
    testing::AddRule({"HEADER", "part one part two", true});
    Judge({"From: a@b", "X-Mailer: Bulk Sender 3.0", "Subject: part one", " part two"});
    EXPECT_EQ(testing::RuleHits(1), 1);
    EXPECT_EQ(testing::RuleHits(2), 0);
}

TEST_F(RuleEvaluationTest, FromRulesMatchTheDisplayName) {
    testing::AddRule({"FROM", "Bob", true});
    Judge({"From: Bob Smith <x@y>"});
    EXPECT_TRUE(actions.marks[0].deleted);
}

TEST(NumericUserName, DigitsBeforeTheFirstAt) {
    const std::pair<const char*, bool> cases[] = {
        {"12345@host", true}, {"123a5@host", false}, {"12345", false},
        {"@host", true},      {"0@", true},          {"", false},
    };
    for (const auto& [text, numeric] : cases)
        EXPECT_EQ(FBOOLIsNumericalUserName(text), numeric) << text;
}

TEST_F(RuleEvaluationTest, NumericSendersAreJudgedByTheirAddressOnly) {
    testing::AddRule({"FROMNUM", "", true});
    Judge({"From: 4711 <4711@spam.example>"}, 0);
    Judge({"From: \"12\" <user@spam.example>"}, 1);
    EXPECT_TRUE(actions.marks[0].deleted);
    EXPECT_FALSE(actions.marks[1].deleted);
    EXPECT_EQ(Logged().front(),
              "Message deleted by RULE: The message is from a username that is a number \"\" -- "
              "SUBJECT: ");
}

TEST_F(RuleEvaluationTest, FriendsVetoEveryRule) {
    WriteFile("friends.lst", "pal.example\n");
    WriteFile("sievo.lst", "pal.example\nspam.example\n");
    testing::AddRule({"SUBCONT", "free", true, true, true});
    testing::AddRule({"LIST", "", true, true, true});
    Judge({"From: friend@pal.example", "Subject: free"});
    EXPECT_TRUE(actions.marks.empty());
    EXPECT_TRUE(actions.calls.empty());
    EXPECT_TRUE(actions.queue.empty());
    EXPECT_EQ(testing::RuleHits(1), 0);
}

TEST_F(RuleEvaluationTest, ListHitsActInsideTheLookupAndCountNoHit) {
    TIniFile(settings::SettingsPath()).WriteBool("LogFile", "Verbose", true);
    WriteFile("sievo.lst", "spam.example\n");
    testing::AddRule({"LIST", "", true, true, false});
    Judge({"From: x@SPAM.example", "Subject: hi"});
    EXPECT_TRUE(actions.marks[0].deleted);
    EXPECT_EQ(actions.queue, std::vector<int>{0});
    EXPECT_EQ(testing::RuleHits(1), 0);
    const auto logged = Logged();
    const auto found = std::find(logged.begin(), logged.end(), "Found in List");
    ASSERT_NE(found, logged.end());
    EXPECT_EQ(*(found + 1), "Message deleted by RULE: List of known spammers -- SUBJECT: hi");
    EXPECT_EQ(logged.back(), "End Find");
}

TEST_F(RuleEvaluationTest, TwoConfirmingRulesQueueTheMessageTwice) {
    testing::AddRule({"SUBCONT", "free", true, true});
    testing::AddRule({"FROM", "news", true, true});
    Judge(kFreeStuffFromNews, 3);
    EXPECT_EQ(actions.queue, (std::vector<int>{3, 3}));
}

}  // namespace
}  // namespace sievo
