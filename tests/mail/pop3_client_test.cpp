#include <gtest/gtest.h>

#include "mail/mail_errors.h"
#include "mail/ms_remote_pop.h"
#include "net/net_errors.h"
#include "scripted_server.h"
#include "temp_home.h"

namespace sievo {
namespace {

using testing::ScriptedServer;

// Generous, for waits that must succeed on a loaded machine.
constexpr int kPatientTimeOut = 60;

const std::string kLogin = "+OK ready\r\n";

// What a POP3 client did against a scripted server: its errors and the messages listed.
class Pop3ClientTest : public testing::TempHomeTest {
protected:
    Pop3ClientTest() {
        pop.SetTimeOut(kPatientTimeOut);
        pop.Server = server.Address();
        pop.UserName = "sam";
        pop.Password = "secret";
        pop.OnError = [this](TagSocket&, const std::string& text) { errors.push_back(text); };
        pop.OnNextInfoUpdated = [this](TagSocket&, int num) { listed.push_back(num); };
    }

    // Greeting, USER, PASS and a STAT announcing `count` messages.
    void ScriptLogin(int count) {
        server.Send(kLogin).ReadLine().Send("+OK\r\n").ReadLine().Send("+OK\r\n");
        server.ReadLine().Send("+OK " + std::to_string(count) + " 1000\r\n");
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
};

TEST_F(Pop3ClientTest, ANegativeGreetingEndsTheLogInBeforeTheUserNameIsSent) {
    server.Send("-ERR too busy\r\n");
    EXPECT_THROW(pop.ConnectAndLogin(), EServerError);
    EXPECT_EQ(errors, std::vector<std::string>{"-ERR too busy"});
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
    EXPECT_EQ(server.Received()[3], "LIST 1");
    EXPECT_EQ(server.Received()[4], "TOP 1 1");
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
