#include <QElapsedTimer>
#include <QRegularExpression>
#include <fstream>
#include <sstream>

#include "cutting_proxy.h"
#include "mail/ms_imap.h"
#include "scan_fixture.h"
#include "scripted_server.h"
#include "socket_recording.h"
#include "store/settings_store.h"
#include "wait_until.h"

namespace sievo {
namespace {

using testing::AddRule;
using testing::DovecotServer;
using testing::Mail;
using testing::WaitUntil;
using namespace std::chrono_literals;

constexpr bool kImap = true;

// The TCP connections established to a local port, as the kernel lists them.
int ConnectionsTo(quint16 port) {
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line);
    int count = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        count +=
            state == "01" && std::stoul(local.substr(local.find(':') + 1), nullptr, 16) == port;
    }
    return count;
}

// The scan of an IMAP inbox on a private Dovecot: what stays, what moves, which flags change.
class ImapScanTest : public testing::ScanTest {
protected:
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

    // Push on, with an engine whose watches keep `timing`.
    void StartPush(PushTiming timing = {}) {
        auto sender = std::make_unique<testing::RecordingSender>();
        smtp = sender.get();
        engine = std::make_unique<MailEngine>(user.Interfaces(), std::move(sender), timing);
        settings::SetAutoEnabled(true);
        // The schedule runs, but is not due before the test ends: every check is push's.
        const QDateTime now = QDateTime::currentDateTime();
        accounts::SaveCheckTimes(1, now.addDays(1), now);
        engine->StartSchedule();
        watch = std::make_unique<testing::LogWatch>();
        engine->WatchForNewMail(true);
    }
    bool Idling() const {
        const ImapWatch* imapWatch = engine->Push().Watch(1);
        return imapWatch && imapWatch->Idling();
    }
    bool Logged(const std::string& text) const {
        return WaitUntil([&] { return watch->Holds(text); }, 10000);
    }
    std::size_t Junk() const { return dovecot->StoredMessages("Junk").size(); }

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
        other.Run(std::vector<std::string>{"UID MOVE " + std::to_string(uid) + " Junk"});
        other.LogoutAndClose();
    }
};

TEST_F(ImapScanTest, OnlyTheCondemnedMoveToJunkAndNoFlagChanges) {
    const auto mails =
        StartMailbox({Mail(1, "friend@x.test", "offer from a friend"),
                      Mail(2, "spam@x.test", "special offer"), Mail(3, "c@x.test", "hello")},
                     kImap);
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
    const auto mails =
        StartMailbox({Mail(1, "a@x.test", "offer"), Mail(2, "b@x.test", "hi")}, kImap);
    Account("ExpungeSpam", "1");
    AddRule({"SUBCONT", "offer"});
    Scan();
    EXPECT_EQ(Stored(), std::vector<std::string>{mails[1]});
    EXPECT_TRUE(dovecot->StoredMessages("Junk").empty());
    EXPECT_EQ(dovecot->StoredFlags(), std::vector<std::string>{""});
}

TEST_F(ImapScanTest, AMessageMovedAwayMeanwhileIsNotReplacedByAnother) {
    const auto mails = StartMailbox(
        {Mail(1, "a@x.test", "offer"), Mail(2, "b@x.test", "hi"), Mail(3, "c@x.test", "offer too")},
        kImap);
    AddRule({"SUBCONT", "offer", true, true});
    // While the user confirms, another program files message 1 away itself.
    user.duringConfirmation = [&] { MoveElsewhere(1); };
    Scan();
    EXPECT_EQ(Stored(), std::vector<std::string>{mails[1]});
    EXPECT_EQ(dovecot->StoredMessages("Junk"), (std::vector<std::string>{mails[0], mails[2]}));
    EXPECT_TRUE(watch->Holds("Message 1 is no longer in INBOX; it is left alone"))
        << ::testing::PrintToString(watch->Texts());
}

TEST_F(ImapScanTest, PushMovesADeliveredMessageWithinSecondsOverOneConnection) {
    StartMailbox({Mail(1, "a@x.test", "hello")}, kImap);
    AddRule({"SUBCONT", "offer", true, true});
    StartPush();
    ASSERT_TRUE(WaitUntil([&] { return Idling(); }, 10000))
        << ::testing::PrintToString(watch->Texts());
    int connectionsWhileChecking = -1;
    user.duringConfirmation = [&] {
        connectionsWhileChecking = ConnectionsTo(dovecot->ImapPort());
    };
    QElapsedTimer sinceDelivery;
    sinceDelivery.start();
    dovecot->Deliver(Mail(2, "b@x.test", "special offer"));
    ASSERT_TRUE(WaitUntil([&] { return Junk() == 1; }, 10000));
    EXPECT_LT(sinceDelivery.elapsed(), 5000);
    // The check ran alone: the watch gave way and came back afterwards, on one connection.
    EXPECT_EQ(connectionsWhileChecking, 1);
    ASSERT_TRUE(WaitUntil([&] { return Idling(); }, 10000));
    EXPECT_EQ(QString::fromStdString(dovecot->Log()).count("Login: user=<sam>"), 3);
    EXPECT_EQ(Stored(), std::vector<std::string>{Mail(1, "a@x.test", "hello")});
}

TEST_F(ImapScanTest, PushRenewsItsIdleAndComesBackWhenTheServerDropsIt) {
    StartMailbox({}, kImap);
    // The first connection is dropped when its IDLE is renewed.
    testing::CuttingProxy proxy(dovecot->ImapPort(), "DONE");
    Account("POPAddress", proxy.Address());
    AddRule({"SUBCONT", "offer"});
    StartPush({.renewal = 300ms, .firstRetry = 100ms, .longestRetry = 1s});
    ASSERT_TRUE(WaitUntil([&] { return proxy.Cut(); }, 10000));
    // Back, the account is checked for what came meanwhile, and watched again.
    ASSERT_TRUE(Logged("sam - END Scanning mailbox, 0 total SPAM messages sieved"))
        << ::testing::PrintToString(watch->Texts());
    ASSERT_TRUE(WaitUntil([&] { return Idling(); }, 10000));
    dovecot->Deliver(Mail(1, "b@x.test", "offer"));
    EXPECT_TRUE(WaitUntil([&] { return Junk() == 1; }, 10000));
    const auto texts = watch->Texts();
    const auto unwatched = [](const std::string& text) {
        return text.starts_with("sam - New mail is not watched for");
    };
    EXPECT_EQ(std::ranges::count_if(texts, unwatched), 1) << ::testing::PrintToString(texts);
}

TEST_F(ImapScanTest, AServerWithoutIdleIsNotWatched) {
    testing::ScriptedServer server;
    server.Send("* OK [CAPABILITY IMAP4rev1] ready\r\n")
        .ReadLine()
        .Send("A1 OK [CAPABILITY IMAP4rev1] in\r\n")
        .ReadLine()
        .Send("* BYE bye\r\nA2 OK out\r\n");
    UseAccount(server.Address(), kImap);
    StartPush();
    ASSERT_TRUE(server.WaitFinished());
    EXPECT_TRUE(
        Logged("sam - The server does not offer IDLE: new mail is found on the schedule only"));
    EXPECT_EQ(server.Received().back(), "A2 LOGOUT");
    EXPECT_FALSE(Idling());
}

}  // namespace
}  // namespace sievo
