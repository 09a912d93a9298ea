#include "engine/replies.h"

#include <QDate>
#include <QLocale>
#include <stdexcept>

#include "config/account.h"
#include "config/activity_log.h"
#include "config/date_time.h"
#include "config/settings.h"
#include "engine/merge_template.h"
#include "engine/rule.h"
#include "engine/sievo_message.h"
#include "log_lines.h"
#include "mail/message.h"
#include "recording_sender.h"
#include "store/accounts_store.h"
#include "temp_home.h"

namespace sievo {
namespace {

class MergeTemplateTest : public testing::TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        QLocale::setDefault(QLocale("en_US"));
        source.SetHeaders(
            {"From: Sales Team <sales@spam.example>", "Subject: Buy now", "X-Mailer: BulkMail"});
    }
    void TearDown() override {
        QLocale::setDefault(QLocale::c());
        TempHomeTest::TearDown();
    }
    std::string Expand(const std::string& line) {
        TmsMessage templ;
        templ.Body() = {line};
        PROCMergeTemplate(templ, source);
        return templ.Body().front();
    }
    TmsMessage source;
};

TEST_F(MergeTemplateTest, CodesAreReplacedByTheirValues) {
    const std::string today = QDate::currentDate().toString("yyyy-MM-dd").toStdString();
    const std::pair<std::string, std::string> cases[] = {
        {"Dear <<REPLYHEADER~FROMNAME>>,", "Dear Sales Team,"},
        {"To <<replyheader~fromaddress>>.", "To sales@spam.example."},
        {"Mailer: <<REPLYHEADER~x-mailer>>", "Mailer: BulkMail"},
        {"[<<REPLYHEADER~Reply-To>>]", "[<no value provided>]"},
        {"[<<REPLYHEADER FROMNAME>>]", "[<no value provided>]"},
        {"[<< REPLYHEADER~FROMNAME>>]", "[<no value provided>]"},
        {"<<OTHER~THING>>", "<no value provided>"},
        {"<<REPLYHEADER~BODY>>", "<no value provided>"},
        {"On <<system~formatdatetime(yyyy-mm-dd)>>", "On " + today},
        {"<<SYSTEM~FORMATDATETIME>>", "<no value provided>"},
        {"a <<SYSTEM~DATE>> b <<SYSTEM~TIME>>",
         "a " + FormatShortDate(QDate::currentDate()) + " b <<SYSTEM~TIME>>"},
        {"no code here >> <<", "no code here >> <<"},
        {"a >> b <<REPLYHEADER~FROMNAME>> c", "a >> b Sales Team c"},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(Expand(line), expected) << line;
    // An empty pattern gives the standard date and time.
    EXPECT_EQ(Expand("<<SYSTEM~FORMATDATETIME()>>"), Expand("<<SYSTEM~DATETIME>>"));
    EXPECT_NE(Expand("<<SYSTEM~DATETIME>>"), kNoValueProvided);
}

TEST_F(MergeTemplateTest, WholeHeadersAreCutOnlyAbove4000Bytes) {
    auto headerOfSize = [](std::size_t size) {
        // One field whose line, with its CR LF, makes the header text exactly size bytes.
        return std::vector<std::string>{"X: " + std::string(size - 5, 'h')};
    };
    source.SetHeaders(headerOfSize(4000));
    EXPECT_EQ(Expand("<<REPLYHEADER~ALLHEADERS>>").size(), 4000u);
    source.SetHeaders(headerOfSize(4001));
    EXPECT_EQ(Expand("<<REPLYHEADER~ALLHEADERS>>").size(), 3000u);
}

class RepliesTest : public testing::TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        TheActivityLog().Open();
        WriteAccount(1, {{"EMailAddr", "me@home.example"}, {"SMTPAddress", "smtp.home.example"}});
        rule.ReplyFile = "Go away";
        rule.ReportFile = "Abuse";
        WriteFile("Go away.msg",
                  "From: Me Myself <old@address.example>\r\nSubject: Not interested\r\n\r\n"
                  "Dear <<REPLYHEADER~FROMNAME>>,\r\nplease stop.\r\n");
        WriteFile("Abuse.msg", "Subject: Spam report\r\n\r\n<<REPLYHEADER~ALLHEADERS>>\r\n");
    }

    // Rule 1's reply or report to the sender of `headers`.
    bool Send(decltype(PROCSendReply)& send, const std::vector<std::string>& headers) {
        return send(smtp, accounts::ForCheck(1), TSievoRule(rule, 1), TSievoMessage(headers, 0));
    }

    testing::RecordingSender smtp;
    RuleRecord rule;
    const std::vector<std::string> spam = {"From: Sales Team <sales@spam.example>", "Subject: Buy"};
};

// The scan and end-to-end tests check the recipients and the merged body; here the rest.
TEST_F(RepliesTest, RepliesComeFromTheUserAndReportsGoToAbuseAtTheSendersDomain) {
    EXPECT_TRUE(Send(PROCSendReply, spam));
    EXPECT_EQ(testing::LatestLogText(), "Sending reply to sales@spam.example");
    EXPECT_TRUE(Send(PROCSendReport, spam));
    EXPECT_TRUE(Send(PROCSendReport, {"From: localspammer", "Subject: x"}));
    EXPECT_EQ(testing::LatestLogText(), "Sending report to abuselocalspammer");
    ASSERT_EQ(smtp.mails.size(), 3u);
    EXPECT_EQ(smtp.mails[0].server, "smtp.home.example");
    EXPECT_EQ(smtp.mails[0].sender, "me@home.example");  // not the template's From
    EXPECT_EQ(smtp.mails[0].subject, "Not interested");
    EXPECT_EQ(smtp.mails[1].recipients,
              std::vector<std::string>{"Sales Team <abuse@spam.example>"});
    EXPECT_EQ(smtp.mails[1].sender, kReportSenderAddress);
    EXPECT_EQ(smtp.mails[2].recipients, std::vector<std::string>{" <abuselocalspammer>"});
}

TEST_F(RepliesTest, NothingIsSentWithoutFileSenderOrServer) {
    const std::vector<std::string> noFrom = {"Subject: anonymous"};
    EXPECT_FALSE(Send(PROCSendReply, noFrom));
    EXPECT_EQ(testing::LatestLogText(), "Unable to determine address to reply to.");
    EXPECT_FALSE(Send(PROCSendReport, noFrom));
    EXPECT_EQ(testing::LatestLogText(),
              "Unable to extract domain name from spam message for reporting");
    rule.ReplyFile.clear();
    EXPECT_FALSE(Send(PROCSendReply, spam));
    rule.ReplyFile = "Go away";

    WriteAccount(1, {{"SMTPAddress", ""}});
    EXPECT_FALSE(Send(PROCSendReply, spam));
    EXPECT_EQ(testing::LatestLogText(), "Sending reply to sales@spam.example");
    EXPECT_TRUE(smtp.mails.empty());
}

}  // namespace
}  // namespace sievo
