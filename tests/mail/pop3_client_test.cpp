#include <gtest/gtest.h>

#include <algorithm>

#include "mail/mail_errors.h"
#include "mail/ms_remote_pop.h"
#include "net/net_errors.h"
#include "scripted_server.h"
#include "socket_recording.h"
#include "temp_home.h"

namespace sievo {
namespace {

using testing::ScriptedServer;

const std::string kLogin = "+OK ready\r\n";

// What a POP3 client did against a scripted server: its errors and the messages listed.
class Pop3ClientTest : public testing::TempHomeTest {
protected:
    Pop3ClientTest() {
        pop.Server = server.Address();
        pop.UserName = "sam";
        pop.Password = "secret";
        testing::RecordErrors(pop, errors);
        pop.OnNextInfoUpdated = [this](TagSocket&, int num) { listed.push_back(num); };
    }

    // Greeting, USER, PASS and a STAT announcing `count` messages.
    void ScriptStat(int count) {
        server.Send(kLogin).ReadLine().Send("+OK\r\n").ReadLine().Send("+OK\r\n");
        server.ReadLine().Send("+OK " + std::to_string(count) + " 1000\r\n");
    }

    // The log-in for a server of the oldest kind, which refuses CAPA, UIDL and the
    // multi-line LIST: messages are then listed one command at a time.
    void ScriptLogin(int count) {
        ScriptStat(count);
        server.ReadLine().Send("-ERR what?\r\n");
        server.ReadLine().Send("-ERR what?\r\n");
        server.ReadLine().Send("-ERR what?\r\n");
    }

    // Every line the client sent ("> ") and read ("< "), in the order it did so.
    void RecordWire() {
        pop.OnLineSent = [this](TagSocket&, const std::string& line) {
            wire.push_back("> " + line);
        };
        pop.OnLineReceived = [this](TagSocket&, const std::string& line) {
            wire.push_back("< " + line);
        };
    }

    // The last `count` entries of the wire record.
    std::vector<std::string> WireTail(std::size_t count) const {
        return {wire.end() - static_cast<std::ptrdiff_t>(std::min(count, wire.size())), wire.end()};
    }

    // Two messages listed by a client that must wait for each reply before the next TOP.
    void ExpectOneAtATime() {
        server.ReadLine().Send(TopReply(1)).ReadLine().Send(TopReply(2));
        RecordWire();
        pop.KeepConnection = true;
        pop.UpdateInfo();
        ASSERT_EQ(pop.RemoteInfo().Count(), 2);
        EXPECT_EQ(pop.RemoteInfo()[1].Headers, TmsHeaders{"Subject: 2"});
        EXPECT_EQ(pop.RemoteInfo()[1].Size, 200);
        EXPECT_EQ(WireTail(4),
                  (std::vector<std::string>{"> TOP 1 1", "< +OK", "> TOP 2 1", "< +OK"}));
    }

    // CAPA announcing the capabilities, UIDL refused, and a multi-line LIST of sizes
    // 100, 200, ... for `count` messages.
    void ScriptCapaAndSizes(int count, const std::string& capabilities) {
        ScriptStat(count);
        server.ReadLine().Send("+OK\r\n" + capabilities + ".\r\n");
        server.ReadLine().Send("-ERR no ids\r\n");
        std::string sizes = "+OK\r\n";
        for (int n = 1; n <= count; ++n)
            sizes += std::to_string(n) + " " + std::to_string(n * 100) + "\r\n";
        server.ReadLine().Send(sizes + ".\r\n");
    }

    static std::string TopReply(int n) {
        return "+OK\r\nSubject: " + std::to_string(n) + "\r\n\r\nbody\r\n.\r\n";
    }

    // LIST and TOP of one message with its header lines.
    void ScriptListing(int number, const std::string& headers) {
        server.ReadLine().Send("+OK " + std::to_string(number) + " 500\r\n");
        server.ReadLine().Send("+OK\r\n" + headers + "\r\nbody\r\n.\r\n");
    }

    ScriptedServer server;
    TmsRemotePOP pop;
    std::vector<std::string> errors;
    std::vector<int> listed;
    std::vector<std::string> wire;
};

TEST_F(Pop3ClientTest, ANegativeGreetingEndsTheLogInBeforeTheUserNameIsSent) {
    server.Send("-ERR too busy\r\n").ReadUntilClosed();
    EXPECT_THROW(pop.ConnectAndLogin(), EServerError);
    EXPECT_EQ(errors, std::vector<std::string>{"-ERR too busy"});
    pop.Close();
    ASSERT_TRUE(server.WaitFinished());
    EXPECT_TRUE(server.Received().empty());
}

TEST_F(Pop3ClientTest, AStatReplyWithoutNumbersIsAnErrorNotAnEmptyMailbox) {
    server.Send(kLogin).ReadLine().Send("+OK\r\n").ReadLine().Send("+OK\r\n");
    server.ReadLine().Send("+OK many 1000\r\n");
    EXPECT_THROW(pop.ConnectAndLogin(), ESocketError);
    EXPECT_EQ(errors, std::vector<std::string>{"'many' is not a valid integer value"});
    EXPECT_EQ(pop.MessageCount(), -1);
}

TEST_F(Pop3ClientTest, ListingKeepsHeadersCutAtTheBodyAndUndoesDotStuffing) {
    ScriptLogin(2);
    ScriptListing(1, "Subject: one\r\n..dotted: field\r\n");
    server.ReadLine().Send("+OK 2 notanumber\r\n");
    server.ReadLine().Send("+OK\r\nSubject: two\r\n.\r\n");
    pop.KeepConnection = true;
    pop.UpdateInfo();
    ASSERT_EQ(pop.RemoteInfo().Count(), 2);
    EXPECT_EQ(pop.RemoteInfo()[0].Size, 500);
    EXPECT_EQ(pop.RemoteInfo()[0].Headers, (TmsHeaders{"Subject: one", ".dotted: field"}));
    EXPECT_EQ(pop.RemoteInfo()[1].Size, 0);
    EXPECT_EQ(pop.RemoteInfo()[1].Headers, TmsHeaders{"Subject: two"});
    EXPECT_EQ(listed, (std::vector<int>{0, 1}));
    EXPECT_EQ(server.Received()[6], "LIST 1");
    EXPECT_EQ(server.Received()[7], "TOP 1 1");
    EXPECT_TRUE(pop.Connected());
}

TEST_F(Pop3ClientTest, AConnectionLostInTheListingKeepsTheItemsListedSoFar) {
    ScriptLogin(3);
    ScriptListing(1, "Subject: one\r\n");
    server.ReadLine().Send("+OK 2 500\r\n").ReadLine().Send("+OK\r\nSubject: cut").Close();
    bool updated = false;
    pop.OnInfoUpdated = [&](TagSocket&) { updated = true; };
    EXPECT_THROW(pop.UpdateInfo(), ESocketError);
    ASSERT_EQ(pop.RemoteInfo().Count(), 1);
    EXPECT_EQ(pop.RemoteInfo()[0].Headers, TmsHeaders{"Subject: one"});
    EXPECT_EQ(listed, std::vector<int>{0});
    EXPECT_FALSE(updated);
    EXPECT_EQ(errors, std::vector<std::string>{std::string(TagSocket::kClosedEarlyText)});
}

TEST_F(Pop3ClientTest, ARefusedDeletionIsReportedAndEndsTheTransfer) {
    ScriptLogin(2);
    ScriptListing(1, "Message-ID: <a@x>\r\n");
    ScriptListing(2, "Message-ID: <b@x>\r\n");
    ScriptListing(1, "Message-ID: <a@x>\r\n");
    server.ReadLine().Send("-ERR cannot delete\r\n");
    pop.KeepConnection = true;
    pop.UpdateInfo();
    pop.MarkForDelete(0);
    pop.MarkForDelete(1);
    EXPECT_THROW(pop.TransferData(), EServerError);
    ASSERT_TRUE(server.WaitFinished());
    EXPECT_EQ(server.Received().back(), "DELE 1");
    EXPECT_EQ(errors, std::vector<std::string>{"-ERR cannot delete"});
    EXPECT_TRUE(pop.Connected());
}

// The mailbox was renumbered during the session and the message now at number 1 has the
// same Message-ID: only the server's id can tell it is another message.
TEST_F(Pop3ClientTest, AMessageIsDeletedOnlyWhileItsServerIdIsTheOneListed) {
    const struct {
        const char* uidlReply;
        bool deleted;
    } cases[] = {{"+OK 1 first-id\r\n", true},
                 {"+OK 1 other-id\r\n", false},
                 {"-ERR no such message\r\n", false}};
    for (const auto& row : cases) {
        ScriptedServer mailbox;
        pop.Server = mailbox.Address();
        errors.clear();
        mailbox.Send(kLogin).ReadLine().Send("+OK\r\n").ReadLine().Send("+OK\r\n");
        mailbox.ReadLine().Send("+OK 1 500\r\n");
        mailbox.ReadLine().Send("+OK\r\nUIDL\r\n.\r\n");
        mailbox.ReadLine().Send("+OK\r\n1 first-id\r\n.\r\n");
        mailbox.ReadLine().Send("+OK\r\n1 500\r\n.\r\n");
        const std::string top = "+OK\r\nMessage-ID: <same@x>\r\n\r\n.\r\n";
        mailbox.ReadLine().Send(top);
        mailbox.ReadLine().Send("+OK 1 500\r\n").ReadLine().Send(top);
        mailbox.ReadLine().Send(row.uidlReply);
        if (row.deleted)
            mailbox.ReadLine().Send("+OK\r\n").ReadLine().Send("+OK\r\n");
        pop.KeepConnection = true;
        pop.UpdateInfo();
        pop.MarkForDelete(0);
        if (row.deleted) {
            pop.TransferData();
        } else {
            EXPECT_THROW(pop.TransferData(), ESocketError) << row.uidlReply;
        }
        ASSERT_TRUE(mailbox.WaitFinished()) << row.uidlReply;
        const auto& sent = mailbox.Received();
        EXPECT_EQ(std::count(sent.begin(), sent.end(), "DELE 1"), row.deleted ? 1 : 0)
            << row.uidlReply;
        EXPECT_EQ(sent[9], "UIDL 1");
        const auto expectedErrors = row.deleted
                                        ? std::vector<std::string>()
                                        : std::vector<std::string>{mail_texts::kIdsAreDifferent};
        EXPECT_EQ(errors, expectedErrors);
        pop.Close();
    }
}

TEST_F(Pop3ClientTest, PipeliningSendsTheHeaderRequestsAheadOfTheReplies) {
    ScriptCapaAndSizes(3, "USER\r\nPIPELINING\r\nTOP\r\n");
    server.ReadLine().ReadLine().ReadLine();  // every TOP before any reply
    server.Send(TopReply(1) + TopReply(2) + TopReply(3));
    RecordWire();
    pop.KeepConnection = true;
    pop.UpdateInfo();
    ASSERT_EQ(pop.RemoteInfo().Count(), 3);
    EXPECT_EQ(listed, (std::vector<int>{0, 1, 2}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pop.RemoteInfo()[i].Size, (i + 1) * 100);
        EXPECT_EQ(pop.RemoteInfo()[i].Headers, TmsHeaders{"Subject: " + std::to_string(i + 1)});
        EXPECT_EQ(pop.RemoteInfo()[i].UniqueId, "");
    }
    const std::vector<std::string> commands(server.Received().begin() + 3, server.Received().end());
    EXPECT_EQ(commands,
              (std::vector<std::string>{"CAPA", "UIDL", "LIST", "TOP 1 1", "TOP 2 1", "TOP 3 1"}));
    EXPECT_EQ(WireTail(6), (std::vector<std::string>{"> TOP 1 1", "> TOP 2 1", "> TOP 3 1", "< +OK",
                                                     "< +OK", "< +OK"}));
    EXPECT_TRUE(pop.Connected());
}

TEST_F(Pop3ClientTest, WithoutPipeliningEachHeaderRequestAwaitsTheLastReply) {
    ScriptCapaAndSizes(2, "TOP\r\nUSER\r\n");
    ExpectOneAtATime();
}

TEST_F(Pop3ClientTest, AClientToldToIgnorePipeliningSendsOneRequestAtATime) {
    ScriptCapaAndSizes(2, "PIPELINING\r\n");
    pop.IgnorePipelining = true;
    ExpectOneAtATime();
}

TEST_F(Pop3ClientTest, AnErrorInAPipelinedListingKeepsTheItemsBeforeItAndEndsTheSession) {
    ScriptCapaAndSizes(3, "PIPELINING\r\n");
    server.ReadLine().ReadLine().ReadLine();
    server.Send(TopReply(1) + "-ERR gone\r\n" + TopReply(3));
    pop.KeepConnection = true;
    EXPECT_THROW(pop.UpdateInfo(), EServerError);
    ASSERT_EQ(pop.RemoteInfo().Count(), 1);
    EXPECT_EQ(pop.RemoteInfo()[0].Headers, TmsHeaders{"Subject: 1"});
    EXPECT_EQ(listed, std::vector<int>{0});
    EXPECT_EQ(errors, std::vector<std::string>{"-ERR gone"});
    // The third reply is still on its way: a later command would be paired with it.
    EXPECT_FALSE(pop.Connected());
}

TEST_F(Pop3ClientTest, OutsideTextWithALineBreakIsRefusedBeforeAnythingIsSent) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"sam\r\nDELE 1", "secret"},
        {"sam", "secret\nQUIT"},
    };
    for (const auto& [user, password] : cases) {
        errors.clear();
        pop.UserName = user;
        pop.Password = password;
        EXPECT_THROW(pop.ConnectAndLogin(), ESocketError) << user << password;
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_NE(errors[0].find(mail_texts::kLineBreakInField), std::string::npos) << errors[0];
        EXPECT_FALSE(pop.Connected());
    }
    pop.UserName = "";
    EXPECT_THROW(pop.ConnectAndLogin(), ESocketError);
    EXPECT_EQ(errors.back(), mail_texts::kUserNameRequired);
}

}  // namespace
}  // namespace sievo
