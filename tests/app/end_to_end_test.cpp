#include <gmock/gmock.h>

#include <QProcess>
#include <QTcpServer>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>

#include "../engine/test_rules.h"
#include "config/ini_file.h"
#include "config/password.h"
#include "dovecot_server.h"
#include "engine/replies.h"
#include "program_run.h"
#include "smtp_sink.h"
#include "temp_home.h"
#include "trash_copies.h"

namespace sievo {
namespace {

using testing::DovecotServer;
using ::testing::HasSubstr;
using testing::SmtpSink;

// The kinds of mail in the test mailbox, and what the rules do to each.
enum Kind {
    kEncodedSubject,  // Subject rule: deleted, copied to the Trash, answered
    kNumericSender,   // numeric-sender rule: deleted, reported
    kListedSpammer,   // spammer-list rule: deleted
    kBulkHeader,      // header rule: kept, copied to the Trash, answered
    kPromoSender,     // From rule asking for confirmation: kept, nobody to confirm
    kColleague,       // no rule: kept
    kFriend,          // Subject rule would hit, but a friend: kept
    kKinds
};
constexpr int kPerKind = 8;  // 56 messages in all

// From, Subject and any further field of each kind; "#" stands for the message's number.
const char* const kFields[kKinds] = {
    "From: Geld Team <geld#@spam.test>\r\nSubject: =?UTF-8?B?R3JhdGlzIEdlbGQgZsO8ciBTaWU=?= #",
    "From: #0042@numbers.test\r\nSubject: Meeting #",
    "From: seller@bulk.test\r\nSubject: Meeting #",
    "From: News <news@letters.test>\r\nSubject: Meeting #\r\nX-Mailer: MassMailer 2.0",
    "From: promo@shop.test\r\nSubject: Meeting #",
    "From: Colleague <colleague@work.test>\r\nSubject: Meeting #",
    "From: Pal <pal@friends.test>\r\nSubject: =?ISO-8859-1?Q?Geld_zur=FCck?= #",
};

std::string MessageOf(int n) {
    std::string text = std::string(kFields[n % kKinds]) +
                       "\r\nTo: sam@localhost\r\nMessage-ID: <#@e2e.test>\r\n"
                       "Date: Mon, 7 Dec 2026 09:00:00 +0000\r\n\r\nBody #\r\n";
    for (auto at = text.find('#'); at != std::string::npos; at = text.find('#'))
        text.replace(at, 1, std::to_string(n));
    return text;
}

// Runs the program on the test's data folder as cron would, its Trash in there too, and
// answers its output; a single pass unless other `arguments` are given. While it runs,
// `meanwhile` may act on it. With `windowed`, the desktop program runs (on the offscreen
// platform).
class ProgramTest : public testing::TempHomeTest {
protected:
    std::string Run(int expectedStatus = 0, const std::function<void(QProcess&)>& meanwhile = {},
                    bool windowed = false, const QStringList& arguments = {"/SINGLEPASS"}) const {
        std::map<std::string, std::string> environment = {{"SIEVOMATIC_HOME", Home()},
                                                          {"XDG_DATA_HOME", PathOf("xdg")}};
        if (windowed)
            environment.insert({{"SIEVOMATIC_HEADLESS", "0"}, {"QT_QPA_PLATFORM", "offscreen"}});
        const auto run = testing::RunProgram(SIEVOMATIC_PROGRAM, arguments, environment, meanwhile);
        EXPECT_EQ(run.exitCode, expectedStatus) << run.output;
        return run.output;
    }
};

class EndToEndTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        for (int n = 0; n < kKinds * kPerKind; ++n) {
            mailbox.push_back(MessageOf(n));
            if (n % kKinds >= kBulkHeader)
                kept.push_back(mailbox.back());
        }
        ASSERT_TRUE(sink.Started()) << sink.Error();
        StartAfresh();
    }

    void WriteSetUp() const {
        WriteAccount(1, {{"POPAddress", dovecot->PlainAddress()},
                         {"POPUser", DovecotServer::kUserName},
                         {"Password", PasswordToIni(DovecotServer::kPassword)},
                         {"EMailAddr", "sam@home.test"},
                         {"SMTPAddress", sink.Address()},
                         {"MailNotify", "0"}});
        TIniFile(PathOf("accounts.ini")).WriteInteger("ENTRYCOUNT", "NumEntries", 1);

        // One rule for each kind of spam. Most switches default to on: a rule answers,
        // reports and copies to the Trash only when it names a message to send.
        const testing::RuleSetup rules[] = {
            {"SUBCONT", "geld", true, false, false, "Answer"},
            {"FROMNUM", "", true, false, false, "", "Report"},
            {"LIST", ""},
            {"HEADER", "x-mailer: massmailer", false, false, false, "Answer"},
            {"FROM", "promo@", true, true},  // asks for confirmation
        };
        for (const auto& setup : rules) {
            RuleRecord rule = testing::Rule(setup);
            rule.Reply = rule.SendtoRecycle = *setup.replyFile;
            rule.Report = *setup.reportFile;
            rule_store::Append(rule);
        }

        WriteFile("Answer.msg",
                  "From: Sam <sam@home.test>\r\nSubject: Please stop\r\n\r\n"
                  "Dear <<REPLYHEADER~FROMNAME>>,\r\nyou wrote to me on "
                  "<<REPLYHEADER~Date>>.\r\n");
        WriteFile("Report.msg",
                  "Subject: Spam report\r\n\r\nSpam from "
                  "<<REPLYHEADER~FROMADDRESS>>\r\n");
        WriteFile("sievo.lst", "someone@else.test\r\nBULK.test\r\n");
        WriteFile("friends.lst", "friends.test\r\n");
    }

    // Starts over with the whole mailbox, and nothing in the data folder but the setup.
    void StartAfresh() {
        for (const char* name : {"temp", "xdg", "handled.lst", "rules.ini"})
            std::filesystem::remove_all(PathOf(name));
        dovecot = std::make_unique<DovecotServer>(DovecotServer::Options{mailbox, "", ""});
        ASSERT_TRUE(dovecot->Started()) << dovecot->Error();
        WriteSetUp();
    }

    // The files in the data folder's `folder`, none when it is missing.
    long FilesIn(const std::string& folder) const {
        std::error_code error;
        const std::filesystem::directory_iterator files(PathOf(folder), error);
        return std::distance(begin(files), end(files));
    }

    std::vector<std::string> mailbox, kept;  // kept: what the rules leave on the server
    std::unique_ptr<DovecotServer> dovecot;
    SmtpSink sink;
};

TEST_F(EndToEndTest, ASinglePassCleansTheMailbox) {
    const std::string output = Run();
    EXPECT_THAT(output, HasSubstr(" -- Running in single pass mode.\n"));
    EXPECT_EQ(output.find("Closing POP Connection"), std::string::npos);  // a detail line
    EXPECT_THAT(output, HasSubstr("sam - END Scanning mailbox, 24 total SPAM messages sieved"));
    ASSERT_TRUE(dovecot->WaitForSessionsEnded(1));
    EXPECT_EQ(dovecot->StoredMessages(), kept);
    EXPECT_EQ(FilesIn("xdg/Trash/files"), 2 * kPerKind);  // encoded-subject and bulk-header copies

    int replies = 0, reports = 0;
    for (const auto& mail : sink.Received()) {
        ASSERT_EQ(mail.rcptTo.size(), 1u);
        if (mail.data.find("Please stop") != std::string::npos) {
            ++replies;
            EXPECT_EQ(mail.mailFrom, "sam@home.test");
            const bool bulk = mail.rcptTo[0] == "news@letters.test";
            EXPECT_THAT(mail.data, HasSubstr(bulk ? "Dear News," : "Dear Geld Team,"));
            EXPECT_THAT(mail.data, HasSubstr("on Mon, 7 Dec 2026 09:00:00 +0000."));
        } else {
            ++reports;
            EXPECT_EQ(mail.rcptTo[0], "abuse@numbers.test");
            EXPECT_EQ(mail.mailFrom, kReportSenderAddress);
            EXPECT_THAT(mail.data, HasSubstr("Spam from "));
        }
    }
    EXPECT_EQ(replies, 2 * kPerKind);
    EXPECT_EQ(reports, kPerKind);
}

// Neither the password nor its scrambled form reaches the log or the console, verbose or not.
TEST_F(EndToEndTest, AVerboseCheckLogsNoPassword) {
    TIniFile(PathOf("settings.ini")).WriteBool("LogFile", "Verbose", true);
    const std::string output = Run() + ReadFile("logfile.txt");
    EXPECT_THAT(output, HasSubstr("Closing POP Connection"));  // verbose indeed
    for (const std::string& secret :
         {std::string(DovecotServer::kPassword), PasswordToIni(DovecotServer::kPassword)})
        EXPECT_EQ(output.find(secret), std::string::npos) << secret;
}

// SIGKILL during the transfer, once `copies` files are in the bin folder (the first may be
// cut short while written): the next pass finishes the work, and every message the rules
// copy has one copy in the Trash, whether it was deleted or kept.
TEST_F(EndToEndTest, AfterASigkillMidCheckEveryCopiedMessageHasOneTrashCopy) {
    std::map<std::string, int> expected;
    for (int n = 0; n < int(mailbox.size()); ++n)
        if (n % kKinds == kEncodedSubject || n % kKinds == kBulkHeader)
            expected["<" + std::to_string(n) + "@e2e.test>"] = 1;
    for (const int copies : {1, kPerKind}) {
        SCOPED_TRACE(copies);
        StartAfresh();
        Run(-1, [&](QProcess& program) {
            ASSERT_TRUE(program.waitForStarted());
            while (FilesIn("temp") < copies && !program.waitForFinished(1)) {
            }
            program.kill();  // SIGKILL
            program.waitForFinished();
        });
        ASSERT_GE(FilesIn("temp"), copies);  // killed in the middle of the transfer
        ASSERT_EQ(FilesIn("xdg/Trash/files"), 0);

        Run();
        ASSERT_TRUE(dovecot->WaitForSessionsEnded(2));
        EXPECT_EQ(dovecot->StoredMessages(), kept);
        EXPECT_EQ(testing::TrashCopiesByMessageId(PathOf("xdg/Trash")), expected);
    }
}

// A server that takes the connection and never says a word keeps the pass waiting for
// its greeting; SIGTERM must end it at once (long before the 120 s time-out) with the log
// saved, and a pass with an error ends with a non-zero status.
TEST_F(EndToEndTest, SigtermEndsAWaitingPassAtOnceWithTheLogSaved) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    TIniFile(PathOf("accounts.ini"))
        .WriteString("USER1", "POPAddress", "127.0.0.1:" + std::to_string(silent.serverPort()));
    TIniFile(PathOf("settings.ini")).WriteBool("Main", "OpenedBefore", true);  // no wizard
    for (const bool windowed : {false, true}) {
        std::remove(PathOf("logfile.txt").c_str());
        const auto terminate = [&](QProcess& program) {
            ASSERT_TRUE(silent.waitForNewConnection(60000));
            program.terminate();
            EXPECT_TRUE(program.waitForFinished(10000));
        };
        Run(128 + SIGTERM, terminate, windowed);
        EXPECT_THAT(ReadFile("logfile.txt"), HasSubstr("Stopped by signal 15")) << windowed;
        silent.nextPendingConnection();  // taken, so the next run's connection is awaited
    }

    silent.close();  // now refused: an error, and a non-zero status
    const std::string output = Run(1);
    EXPECT_THAT(output, HasSubstr("-SV_ERROR-"));
}

// SIGTERM ends the tray program whatever is on screen: the welcome wizard of a first start,
// or (no tray here) the rule list standing in for the tray, which refuses to close.
using TrayProgramTest = ProgramTest;

TEST_F(TrayProgramTest, SigtermEndsItWhateverWindowIsOpen) {
    for (const bool firstStart : {true, false}) {
        SCOPED_TRACE(firstStart);
        if (!firstStart)
            TIniFile(PathOf("settings.ini")).WriteBool("Main", "OpenedBefore", true);
        const auto terminate = [](QProcess& program) {
            QThread::sleep(2);  // long enough for the windows to come up on a loaded machine
            program.terminate();
            EXPECT_TRUE(program.waitForFinished(10000));
        };
        Run(128 + SIGTERM, terminate, true, {});
    }
}

}  // namespace
}  // namespace sievo
