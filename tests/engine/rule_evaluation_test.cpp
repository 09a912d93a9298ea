#include "engine/rule_evaluation.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "config/account.h"
#include "config/activity_log.h"
#include "config/ini_file.h"
#include "config/settings.h"
#include "engine/rule.h"
#include "engine/sievo_message.h"
#include "log_lines.h"
#include "store/accounts_store.h"
#include "temp_home.h"
#include "test_rules.h"

namespace sievo {
namespace {

// Records what the hits asked for, in order.
class RecordingActions : public RuleHitActions {
public:
    void CountHit(int rule) override { rule_store::AddHits({{rule, 1}}); }
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

    // Evaluates every rule in number order against one message, as a scan does.
    void Judge(const std::vector<std::string>& headers, int index = 0) {
        const TSievoUser account = accounts::ForCheck(1);
        for (int n = 1; n <= rule_store::Count(); ++n) {
            const TSievoRule rule(n);
            const TSievoMessage message(headers, index);
            if (rule.Active)
                EvaluateRule(actions, account, rule, message);
        }
    }

    RecordingActions actions;
    std::unique_ptr<testing::LogWatch> watch;
};

TEST_F(RuleEvaluationTest, ATallyAddsEachPendingHitOnce) {
    HitTally tally;
    tally.Count(1);
    tally.Flush();
    tally.Count(1);
    tally.Count(3);
    tally.Flush();
    tally.Flush();  // nothing left to add
    EXPECT_EQ(testing::RuleHits(1), 2);
    EXPECT_EQ(testing::RuleHits(3), 1);
}

const std::vector<std::string> kFreeStuffFromNews = {"From: news@x", "Subject: FREE stuff"};

TEST_F(RuleEvaluationTest, TheLastHittingRuleDecidesAndEveryHitCounts) {
    testing::AddRule({"SUBCONT", "free", true});
    testing::AddRule({"FROM", "news", false});
    Judge(kFreeStuffFromNews, 0);
    EXPECT_FALSE(actions.marks[0].deleted);
    EXPECT_EQ(watch->Texts(),
              (std::vector<std::string>{
                  "Message deleted by RULE: The subject contains \"free\" -- SUBJECT: FREE stuff",
                  "Message will NOT be deleted by RULE: The message is from  \"news\" -- SUBJECT: "
                  "FREE stuff"}));
    testing::AddRule({"SUBCONT", "stuff", true});  // a deleting rule after the keeping one
    Judge(kFreeStuffFromNews, 1);
    EXPECT_TRUE(actions.marks[1].deleted);
    EXPECT_EQ(testing::RuleHits(1), 2);
    EXPECT_EQ(testing::RuleHits(2), 2);
    EXPECT_EQ(testing::RuleHits(3), 1);
}

TEST_F(RuleEvaluationTest, AKeepingSubjectRuleActsWithoutALogLine) {
    testing::AddRule({"SUBCONT", "free", false, true, true});
    Judge(kFreeStuffFromNews);
    EXPECT_TRUE(watch->Texts().empty());
    EXPECT_EQ(testing::RuleHits(1), 1);
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"sound", "report 1", "reply 1"}));
    EXPECT_TRUE(actions.marks[0].retrieved);  // copied to the Trash, kept on the server
    EXPECT_FALSE(actions.marks[0].deleted);
    EXPECT_TRUE(actions.queue.empty());  // a keeping rule never asks for confirmation
}

TEST_F(RuleEvaluationTest, WhatEachCriterionMatches) {
    struct Case {
        const char *criteria, *value;
        std::vector<std::string> headers;
        bool hits;
        const char* authServId = "";
    };
    const std::string microsoft =
        "Authentication-Results: spf=softfail (sender IP is 45.95.147.10) "
        "smtp.mailfrom=paypal.com; dkim=none (message not signed) header.d=none;dmarc=fail "
        "action=quarantine header.from=paypal.com;compauth=fail reason=000";
    const std::string results = "Authentication-Results: ", mx = results + "mx.example.net;";
    const std::string forgedPass = mx + " dmarc=pass", ownFail = mx + " dmarc=fail";
    const Case cases[] = {
        // Only the letters A to Z ignore case: "été" misses "ÉTÉ".
        {"SUBCONT", "free", {"Subject: FREE \xC3\x89T\xC3\x89"}, true},
        {"SUBCONT", "\xC3\xA9t\xC3\xA9", {"Subject: FREE \xC3\x89T\xC3\x89"}, false},
        {"SUBCONT", "\xC3\xA9t\xC3\xA9", {"Subject: un \xC3\xA9t\xC3\xA9"}, true},
        {"SUBCONT", "", kFreeStuffFromNews, false},  // an empty value never matches
        {"subcont", "free", kFreeStuffFromNews, false},
        {"HEADER", "", kFreeStuffFromNews, false},
        {"HEADER", "x-mailer: bulk", {"From: a@b", "X-Mailer: Bulk Sender 3.0"}, true},
        {"HEADER", "split across lines", {"Subject: split", " across lines"}, false},
        {"FROM", "Bob", {"From: Bob Smith <x@y>"}, true},
        // Numeric senders are judged by their address only.
        {"FROMNUM", "", {"From: 4711 <4711@spam.example>"}, true},
        {"FROMNUM", "", {"From: \"12\" <user@spam.example>"}, false},
        // Header blocks as receiving servers write them, and what the server's signals make
        // of them.
        {"AUTHFAIL", "", {"Authentication-Results: mx.google.com; dmarc=fail (p=REJECT)"}, true},
        {"AUTHFAIL", "spf", {microsoft}, true},
        {"AUTHFAIL", "dkim", {microsoft}, false},  // not signed is no failure
        // Only the topmost field is the user's server's; the sender wrote the ones below.
        {"AUTHFAIL", "", {forgedPass, ownFail}, false},
        {"AUTHFAIL", "", {ownFail, forgedPass}, true},
        // A list's broken second signature beside the author's good one.
        {"AUTHFAIL",
         "dkim",
         {"Authentication-Results: mx6.messagingengine.com;",
          "    dkim=fail (body hash did not verify) header.d=list.example;",
          "    dkim=pass (2048-bit rsa key sha256) header.d=example.com"},
         false},
        {"AUTHFAIL", "spf,dkim,dmarc", {mx + " spf=temperror; dkim=neutral; dmarc=none"}, false},
        {"AUTHFAIL", " SPF ", {mx + " spf=permerror"}, true},
        {"AUTHFAIL",
         " DKIM , dmarc",
         {mx, "\tdkim=pass header.d=x;", "\tdmarc=FAIL (p=quarantine) header.from=x"},
         true},
        // With the account's AuthServId, its server's field counts wherever it stands.
        {"AUTHFAIL",
         "",
         {results + "relay.forwarder.example; dmarc=pass", ownFail},
         true,
         "MX.Example.net"},
        {"AUTHFAIL", "", {results + "other.example; dmarc=fail"}, false, "mx.example.net"},
        {"SPAMFLAG", "", {"X-Spam-Flag: YES"}, true},
        {"SPAMFLAG", "", {"X-Spam-Flag: NO", "X-Spam-Flag: YES"}, false},
        {"SPAMFLAG",
         "",
         {"X-Spam-Status: Yes, score=7.1 required=5.0 tests=BAYES_99,", "\tRDNS_NONE"},
         true},
        {"SPAMFLAG", "2", {"X-Spam-Status: No, score=2.3 required=5.0"}, true},
        {"SPAMFLAG", "3", {"X-Spam-Status: No, score=2.3 required=5.0"}, false},
        {"SPAMFLAG", "10", {"X-Rspamd-Score: 12.40"}, true},
        {"SPAMFLAG", "-2", {"X-Rspamd-Score: -1.5"}, true},
        {"SPAMFLAG", "4,5", {"X-Spam-Score: 5 (+++++)"}, true},
        {"SPAMFLAG", "", {"X-Spam-Score: 50"}, false},  // a score without a lowest one
        {"SPAMFLAG", "5", {"X-Spam-Score: 1", "X-Spam-Score: 9"}, false},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.criteria) + " " + c.value + " / " + c.headers.front());
        std::remove(rule_store::Path().c_str());
        WriteFile("accounts.ini", std::string("[USER1]\nAuthServId=") + c.authServId + "\n");
        testing::AddRule({c.criteria, c.value, true});
        Judge(c.headers, index);
        EXPECT_EQ(testing::RuleHits(1), c.hits ? 1 : 0);
        EXPECT_EQ(actions.marks[index++].deleted, c.hits);
    }
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
    const auto logged = watch->Texts();
    const auto found = std::find(logged.begin(), logged.end(), "Found in List");
    ASSERT_NE(found, logged.end());
    EXPECT_EQ(*(found + 1), "Message deleted by RULE: List of known spammers -- SUBJECT: hi");
    EXPECT_EQ(logged.back(), "End Find");
}

}  // namespace
}  // namespace sievo
