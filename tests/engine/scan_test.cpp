#include "config/date_time.h"
#include "config/password.h"
#include "scan_fixture.h"

namespace sievo {
namespace {

using testing::AddRule;
using testing::Mail;
using testing::ScanTest;

TEST_F(ScanTest, AnEmptyMailboxIsReportedAndTheIntervalSetsTheNextCheck) {
    StartMailbox({});
    const std::pair<const char*, qint64> cases[] = {
        {"90", 3600}, {"1439", 23 * 3600}, {"1440", 24 * 3600}, {"5", 300}};
    for (const auto& [minutes, seconds] : cases) {
        Account("Minutes", minutes);
        Account("NextDateTime", "");
        Scan(PassMode::kScheduled);
        const auto next = ParseDateTimeText(AccountValue("NextDateTime"));
        ASSERT_TRUE(next) << minutes;
        EXPECT_NEAR(QDateTime::currentDateTime().secsTo(*next), seconds, 5) << minutes;
    }
    EXPECT_TRUE(watch->Holds("There are no messages"));
    EXPECT_TRUE(watch->Holds("sam - END Scanning mailbox, 0 total SPAM messages sieved"));
    EXPECT_TRUE(watch->Holds("sam - Closing POP Connection"));
    EXPECT_FALSE(user.mailIconVisible);
    EXPECT_EQ(user.mailIconHint, "No new mail");
    EXPECT_TRUE(user.confirmations.empty());
    EXPECT_FALSE(engine->ScanRunning());
}

TEST_F(ScanTest, OnlyTheConfirmedMessagesAreDeleted) {
    const auto mails =
        StartMailbox({Mail(1, "a@x.test", "alpha offer"), Mail(2, "b@x.test", "beta offer"),
                      Mail(3, "c@x.test", "hello")});
    AddRule({"SUBCONT", "alpha", true, false});
    AddRule({"SUBCONT", "beta", true, true});
    user.untick = {true};  // the user keeps the message the confirming rule condemned
    Scan();
    ASSERT_EQ(user.confirmations.size(), 1u);
    EXPECT_EQ(user.confirmations[0][0].subject, "beta offer");
    EXPECT_EQ(user.confirmations[0][0].from, "b@x.test");
    EXPECT_TRUE(watch->Holds("sam - END Scanning mailbox, 1 total SPAM messages sieved"));
    EXPECT_EQ(Stored(), (std::vector<std::string>{mails[1], mails[2]}));
    EXPECT_EQ(user.mailIconHint, "You have 3 new mail messages -- click to view");
    EXPECT_EQ(user.ruleListRefreshes, 1);
}

// The confirmation window views a message through the scan's own client; its copies for the
// Trash must still go through the bin folder.
TEST_F(ScanTest, AMessageViewedDuringTheConfirmationStillReachesTheTrash) {
    const auto mails = StartMailbox({Mail(1, "a@x.test", "win"), Mail(2, "b@x.test", "win")});
    AddRule({.criteria = "SUBCONT", .value = "win", .confirm = true, .trash = true});
    std::string viewed;
    user.duringConfirmation = [&] { viewed = engine->FetchForViewing(1); };
    Scan();
    EXPECT_EQ(ReadWholeFile(viewed), mails[1]);
    EXPECT_EQ(TrashFile("msg_1.eml"), mails[1]);
    sessions = 1;  // the viewing's own
    EXPECT_TRUE(Stored().empty());
}

TEST_F(ScanTest, AMessageCondemnedTwiceIsKeptWhenEitherRowIsUnticked) {
    const auto mails = StartMailbox({Mail(1, "news@x.test", "free stuff")});
    AddRule({"SUBCONT", "free", true, true});
    AddRule({"FROM", "news", true, true});
    for (const std::vector<bool>& untick : {std::vector<bool>{true, false}, {false, true}}) {
        user.untick = untick;
        user.confirmations.clear();
        Scan();
        ASSERT_EQ(user.confirmations.size(), 1u);
        EXPECT_EQ(user.confirmations[0].size(), 2u);
        EXPECT_EQ(Stored(), mails);
    }
}

TEST_F(ScanTest, AUserPassIgnoresAndKeepsTheSchedule) {
    StartMailbox({Mail(1, "a@x.test", "hi")});
    const std::string future = FormatDateTimeText(QDateTime::currentDateTime().addDays(2));
    Account("NextDateTime", future);
    Account("LastDateTime", "last time");
    Scan(PassMode::kScheduled);  // not due: no connection at all
    EXPECT_FALSE(watch->Holds("sam - Closing POP Connection"));
    Scan(PassMode::kUserStarted);
    EXPECT_TRUE(watch->Holds("sam - END Scanning mailbox, 0 total SPAM messages sieved"));
    EXPECT_EQ(AccountValue("NextDateTime"), future);
    EXPECT_EQ(AccountValue("LastDateTime"), "last time");
    EXPECT_TRUE(user.progress.size() == 1u && user.progress[0] == "1/1 1 of 1 -- hi");
    EXPECT_FALSE(user.progressVisible);
}

TEST_F(ScanTest, AMessageThatCannotBeJudgedIsLeftAloneAndTheOthersAreJudged) {
    const auto mails =
        StartMailbox({Mail(1, "Broken <never-closed", "free"), Mail(2, "ok@x.test", "free")});
    AddRule({"SUBCONT", "free", true});
    Scan();
    EXPECT_TRUE(watch->Holds("-SV_ERROR-Unable to parse email address"));
    EXPECT_TRUE(watch->Holds("sam - END Scanning mailbox, 1 total SPAM messages sieved"));
    EXPECT_EQ(Stored(), std::vector<std::string>{mails[0]});
    EXPECT_FALSE(engine->ScanRunning());
}

TEST_F(ScanTest, ADryRunChangesNothing) {
    const auto mails = StartMailbox({Mail(1, "a@x.test", "win big")});
    AddRule({"SUBCONT", "win", true, true, true, "Go away", "Go away"});
    setenv("SIEVOMATIC_DRY_RUN", "1", 1);
    Account("NextDateTime", "");
    TIniFile(settings::SettingsPath()).WriteBool("Main", "AutoEnabled", true);
    engine->Timer1Timer();
    const auto logged = watch->Texts();
    ASSERT_FALSE(logged.empty());
    EXPECT_EQ(logged.front().rfind("Dry run: ", 0), 0u) << logged.front();
    EXPECT_EQ(logged.back().rfind("Dry run finished", 0), 0u) << logged.back();
    EXPECT_TRUE(
        watch->Holds("Message deleted by RULE: The subject contains \"win\" -- SUBJECT: "
                     "win big"));
    EXPECT_EQ(testing::RuleHits(1), 1);
    EXPECT_TRUE(user.confirmations.empty());
    EXPECT_TRUE(smtp->mails.empty());
    EXPECT_EQ(AccountValue("NextDateTime"), "");
    EXPECT_EQ(TrashFile("msg_0.eml"), "<missing>");
    EXPECT_EQ(Stored(), mails);
    EXPECT_EQ(engine->LastPassErrors(), 0);
}

TEST_F(ScanTest, APassIsNotStartedWhileAnotherRuns) {
    StartMailbox({Mail(1, "a@x.test", "win")});
    AddRule({"SUBCONT", "win", true, true});
    user.duringConfirmation = [this] { engine->C3Click(); };
    engine->C3Click();
    EXPECT_EQ(user.confirmations.size(), 1u);
    EXPECT_TRUE(watch->Holds("A check is already running; this one is not started."));
    EXPECT_TRUE(Stored().empty());
}

TEST_F(ScanTest, AFailedLogInIsReportedAndTheNextAccountIsChecked) {
    StartMailbox({});
    Account("Password", PasswordToIni("wrong"));
    testing::AppendMailboxAccount(dovecot->PlainAddress());
    engine->RunSinglePass();
    EXPECT_EQ(watch->Texts().front(), "Running in single pass mode.");
    EXPECT_TRUE(watch->Holds("sam - END Scanning mailbox, 0 total SPAM messages sieved"));
    EXPECT_GE(engine->LastPassErrors(), 1);
    EXPECT_FALSE(engine->ScanRunning());
}

TEST_F(ScanTest, TheTimerChecksOnlyWhileAutoCheckIsOnAndNeverAnInactiveAccount) {
    StartMailbox({Mail(1, "a@x.test", "hi")});
    testing::AppendMailboxAccount("unreachable.invalid");
    Account("Active", "0", "USER2");
    engine->StartSchedule();
    engine->Timer1Timer();
    EXPECT_FALSE(engine->ScheduleRunning());  // auto-check off: the timer stays off
    EXPECT_TRUE(watch->Texts().empty());

    engine->C3Click();  // a user's pass runs whatever the auto-check state
    EXPECT_TRUE(engine->ScheduleRunning());
    EXPECT_TRUE(watch->Holds("sam - END Scanning mailbox, 0 total SPAM messages sieved"));
    EXPECT_EQ(engine->LastPassErrors(), 0);  // the inactive account was not tried
}

}  // namespace
}  // namespace sievo
