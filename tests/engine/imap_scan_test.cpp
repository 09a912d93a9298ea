#include <QRegularExpression>

#include "mail/ms_imap.h"
#include "scan_fixture.h"
#include "socket_recording.h"
#include "wait_until.h"

namespace sievo {
namespace {

using testing::AddRule;
using testing::DovecotServer;
using testing::Mail;

// The scan of an IMAP inbox on a private Dovecot: what stays, what moves, which flags change.
class ImapScanTest : public testing::ScanTest {
protected:
    void StartImapMailbox(const std::vector<std::string>& messages) {
        DovecotServer::Options options{messages, "", ""};
        options.imap = true;
        dovecot = std::make_unique<DovecotServer>(options);
        ASSERT_TRUE(dovecot->Started()) << dovecot->Error();
        std::remove(AccountsPath().c_str());
        testing::AppendMailboxAccount(dovecot->ImapAddress());
        Account("Protocol", "IMAP");
        Account("POPSecurity", "NONE");
    }

    // The header blocks and whole messages Dovecot sent in each IMAP session, once it has
    // logged the end of `sessions` of them.
    std::vector<std::pair<int, int>> Fetches(std::size_t sessions) const {
        EXPECT_TRUE(testing::WaitUntil([&] { return Logouts().size() >= sessions; }, 30000));
        return Logouts();
    }
    std::vector<std::pair<int, int>> Logouts() const {
        static const QRegularExpression counts("headers=(\\d+) bodies=(\\d+)");
        std::vector<std::pair<int, int>> sessions;
        auto found = counts.globalMatch(QString::fromStdString(dovecot->Log()));
        while (found.hasNext()) {
            const auto match = found.next();
            sessions.emplace_back(match.captured(1).toInt(), match.captured(2).toInt());
        }
        return sessions;
    }

    // Another mail program moves message `uid` to the junk folder.
    void MoveElsewhere(std::uint32_t uid) const {
        TmsIMAP other;
        std::vector<std::string> errors;
        testing::RecordErrors(other, errors);
        other.Server = dovecot->ImapAddress();
        other.UserName = DovecotServer::kUserName;
        other.Password = DovecotServer::kPassword;
        other.AllowPlainTextLogin = true;
        other.ConnectAndLogin();
        other.Select("INBOX");
        other.UidCommand("MOVE", {std::to_string(uid)}, "Junk");
        other.LogoutAndClose();
    }
};

TEST_F(ImapScanTest, OnlyTheCondemnedMoveToJunkAndNoFlagChanges) {
    const std::vector<std::string> mails = {Mail(1, "friend@x.test", "offer from a friend"),
                                            Mail(2, "spam@x.test", "special offer"),
                                            Mail(3, "c@x.test", "hello")};
    StartImapMailbox(mails);
    WriteFile("friends.lst", "friend@x.test\n");
    WriteFile("Stop.msg", "Subject: Please stop\r\n\r\nNo more, thank you.\r\n");
    AddRule({"SUBCONT", "offer", true, false, true, "Stop"});
    Scan();
    EXPECT_EQ(Stored(), (std::vector<std::string>{mails[0], mails[2]}));
    EXPECT_EQ(dovecot->StoredMessages("Junk"), std::vector<std::string>{mails[1]});
    // Judging read every header block and one whole message, for the Trash, and set \Seen
    // on none, the moved one included.
    EXPECT_EQ(dovecot->StoredFlags(), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(dovecot->StoredFlags("Junk"), std::vector<std::string>{""});
    EXPECT_EQ(Fetches(1), (std::vector<std::pair<int, int>>{{3, 1}}));
    ASSERT_EQ(smtp->mails.size(), 1u);
    EXPECT_EQ(smtp->mails[0].recipients, std::vector<std::string>{" <spam@x.test>"});
    EXPECT_NE(TrashFile("msg_1.eml").find("special offer"), std::string::npos);
    EXPECT_TRUE(watch->Holds("sam - END Scanning mailbox, 1 total SPAM messages sieved"));

    // The second check fetches no header block again, replies to no one again, and finds
    // a new message among the old ones.
    dovecot->Deliver(Mail(4, "spam@x.test", "another offer"));
    Scan();
    EXPECT_EQ(Stored(), (std::vector<std::string>{mails[0], mails[2]}));
    EXPECT_EQ(dovecot->StoredMessages("Junk").size(), 2u);
    EXPECT_EQ(Fetches(2).back(), std::make_pair(1, 1));
    EXPECT_EQ(smtp->mails.size(), 2u);
}

TEST_F(ImapScanTest, ExpungeSpamDeletesForGoodAndLeavesTheRest) {
    const std::vector<std::string> mails = {Mail(1, "a@x.test", "offer"),
                                            Mail(2, "b@x.test", "hi")};
    StartImapMailbox(mails);
    Account("ExpungeSpam", "1");
    AddRule({"SUBCONT", "offer"});
    Scan();
    EXPECT_EQ(Stored(), std::vector<std::string>{mails[1]});
    EXPECT_TRUE(dovecot->StoredMessages("Junk").empty());
    EXPECT_EQ(dovecot->StoredFlags(), std::vector<std::string>{""});
}

TEST_F(ImapScanTest, AMessageMovedAwayMeanwhileIsNotReplacedByAnother) {
    const std::vector<std::string> mails = {Mail(1, "a@x.test", "offer"), Mail(2, "b@x.test", "hi"),
                                            Mail(3, "c@x.test", "offer too")};
    StartImapMailbox(mails);
    AddRule({"SUBCONT", "offer", true, true});
    // While the user confirms, another program files message 1 away itself.
    user.duringConfirmation = [&] { MoveElsewhere(1); };
    Scan();
    EXPECT_EQ(Stored(), std::vector<std::string>{mails[1]});
    EXPECT_EQ(dovecot->StoredMessages("Junk"), (std::vector<std::string>{mails[0], mails[2]}));
    EXPECT_TRUE(watch->Holds("Message 1 is no longer in INBOX; it is left alone"))
        << ::testing::PrintToString(watch->Texts());
}

}  // namespace
}  // namespace sievo
