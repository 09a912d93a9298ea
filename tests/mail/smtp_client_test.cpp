#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mail/account_clients.h"
#include "mail/mail_errors.h"
#include "mail/ms_smtp.h"
#include "mail/smtp_extensions.h"
#include "net/net_errors.h"
#include "scripted_server.h"
#include "socket_recording.h"
#include "store/accounts_store.h"
#include "temp_home.h"

namespace sievo {
namespace {

using testing::ScriptedServer;

// What an SMTP client did against a scripted server for what no real server does.
class SmtpClientTest : public testing::TempHomeTest {
protected:
    SmtpClientTest() {
        smtp.Server = server.Address();
        testing::RecordErrors(smtp, errors);
        message.Sender().SetAddress("me@example.org");
        message.Recipients().Add("you@example.org", "You");
        message.SetSubject("Hello");
        message.Body() = {"Hi"};
        smtp.MailMessage = &message;
    }

    // Greeting and a HELO taken at once.
    static void ScriptGreeting(ScriptedServer& peer) {
        peer.Send("220 ready\r\n").ReadLine().Send("250 hello\r\n");
    }

    ScriptedServer server;
    TmsSMTP smtp;
    TmsMessage message;
    std::vector<std::string> errors;
};

TEST_F(SmtpClientTest, AMultiLineGreetingIsReadWholeAndABareHeloFollowsARefusedOne) {
    server.Send("220-mail.example.org\r\n220-busy today\r\n220 ready\r\n");
    server.ReadLine().Send("501 5.5.4 Invalid domain name\r\n");
    server.ReadLine().Send("250 hello, whoever\r\n").ReadLine().Send("221 bye\r\n");
    smtp.ConnectAndLogin();
    smtp.LogoutAndClose();
    ASSERT_TRUE(server.WaitFinished());
    EXPECT_EQ(server.Received(),
              (std::vector<std::string>{"HELO " + smtp.LocalHostName(), "HELO", "QUIT"}));
    EXPECT_TRUE(errors.empty());
}

TEST_F(SmtpClientTest, ABareHeloRefusedTooEndsTheLogInWithThatLine) {
    server.Send("220 ready\r\n").ReadLine().Send("501 no\r\n");
    server.ReadLine().Send("550 not you\r\n").ReadLine().Send("221 bye\r\n");
    EXPECT_THROW(smtp.SendMail(), EServerError);
    EXPECT_EQ(errors, std::vector<std::string>{"550 not you"});
    ASSERT_TRUE(server.WaitFinished());
    EXPECT_EQ(server.Received().back(), "QUIT");
    EXPECT_FALSE(smtp.Connected());
}

TEST_F(SmtpClientTest, TheTransactionsFailureIsWhatTheCallerSeesEvenWhenQuitFailsToo) {
    ScriptGreeting(server);
    server.ReadLine().Send("250 ok\r\n").ReadLine().Send("550 no such user\r\n");
    server.ReadLine().Send("500 what?\r\n");
    EXPECT_THAT([&] { smtp.SendMail(); },
                ::testing::ThrowsMessage<EServerError>(::testing::StrEq("550 no such user")));
    EXPECT_EQ(errors, (std::vector<std::string>{"550 no such user", "500 what?"}));
    EXPECT_FALSE(smtp.Connected());
}

// Whether a failed send may have delivered the message decides whether it may be tried
// again; once the end of the data is accepted, the message went out whatever QUIT meets.
TEST_F(SmtpClientTest, AMessageCountsAsSentOnceTheServerAcceptedItsData) {
    const struct {
        const char* endOfDataReply;  // empty: the connection drops instead
        bool raises;
    } cases[] = {{"250 queued\r\n", false}, {"", true}, {"554 rejected\r\n", true}};
    for (const auto& row : cases) {
        ScriptedServer peer;
        smtp.Server = peer.Address();
        ScriptGreeting(peer);
        peer.ReadLine().Send("250 ok\r\n").ReadLine().Send("250 ok\r\n");
        peer.ReadLine().Send("354 go on\r\n").ReadThrough(".");
        if (*row.endOfDataReply)
            peer.Send(row.endOfDataReply).ReadLine();
        peer.Close();  // never answers QUIT
        if (row.raises) {
            EXPECT_THROW(smtp.SendMail(), Exception) << row.endOfDataReply;
        } else {
            EXPECT_NO_THROW(smtp.SendMail());
        }
        EXPECT_TRUE(smtp.EndOfDataSent());
        EXPECT_FALSE(smtp.Connected());
    }
    // A refusal before the data leaves the message surely unsent.
    ScriptedServer refusing;
    smtp.Server = refusing.Address();
    ScriptGreeting(refusing);
    refusing.ReadLine().Send("250 ok\r\n").ReadLine().Send("550 no such user\r\n").Close();
    EXPECT_THROW(smtp.SendMail(), EServerError);
    EXPECT_FALSE(smtp.EndOfDataSent());
}

TEST_F(SmtpClientTest, AnAddressWithALineBreakIsRefusedBeforeTheTransactionStarts) {
    ScriptGreeting(server);
    server.ReadLine().Send("221 bye\r\n");
    message.CC().Add("x@example.org>\r\nRCPT TO:<victim@example.org", "");
    EXPECT_THROW(smtp.SendMail(), ESocketError);
    ASSERT_TRUE(server.WaitFinished());
    EXPECT_EQ(server.Received().back(), "QUIT");
    EXPECT_EQ(server.Received().size(), 2u);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(mail_texts::kLineBreakInField), std::string::npos);
}

TEST(SmtpCapabilities, ExtensionsAndAuthMechanismsAreReadWithoutRegardToCase) {
    const auto capabilities =
        SmtpCapabilities::FromEhloReply({"250-mail.example.org STARTTLS AUTH", "250-starttls",
                                         "250-AUTH login Plain", "250 8BITMIME"});
    EXPECT_TRUE(capabilities.Has("STARTTLS"));
    EXPECT_TRUE(capabilities.Has("8bitmime"));
    EXPECT_FALSE(capabilities.Has("PIPELINING"));
    EXPECT_TRUE(capabilities.HasAuth("PLAIN"));
    EXPECT_TRUE(capabilities.HasAuth("LOGIN"));
    EXPECT_FALSE(capabilities.HasAuth("CRAM-MD5"));
    // The greeting line names the server, never an extension.
    EXPECT_FALSE(SmtpCapabilities::FromEhloReply({"250 STARTTLS"}).Has("STARTTLS"));
}

class AccountClientsTest : public testing::TempHomeTest {
protected:
    void WriteAccount(const std::string& lines) {
        WriteFile("accounts.ini", "[ENTRYCOUNT]\nNumEntries=1\n[USER1]\n" + lines);
    }
};

TEST_F(AccountClientsTest, OnlyAnExplicitNoneLetsTheSmtpPasswordGoWithoutTls) {
    struct Case {
        const char* lines;
        TlsMode mode;
        bool plainAuth;
    };
    const Case cases[] = {
        {"SMTPUser=sam\n", TlsMode::None, false},
        {"SMTPUser=sam\nSMTPSecurity=NONE\n", TlsMode::None, true},
        {"SMTPUser=sam\nSMTPSecurity=starttls\n", TlsMode::StartTls, false},
        {"SMTPSecurity=SSL\n", TlsMode::Ssl, false},
    };
    for (const auto& c : cases) {
        WriteAccount(c.lines);
        TmsSMTP smtp;
        ApplySmtpAccount(smtp, accounts::ForCheck(1));
        EXPECT_EQ(smtp.Security, c.mode) << c.lines;
        EXPECT_EQ(smtp.AllowPlainTextAuth, c.plainAuth) << c.lines;
    }
}

TEST_F(AccountClientsTest, AnUnknownSecurityTextFailsInsteadOfFallingBackToPlainText) {
    WriteAccount("POPAddress=pop.example.org\nPOPUser=sam\nPOPSecurity=TLS\n");
    TmsRemotePOP pop;
    EXPECT_THAT([&] { ApplyPopAccount(pop, accounts::ForCheck(1)); },
                ::testing::ThrowsMessage<ESocketError>(
                    ::testing::StrEq("POPSecurity \"TLS\" is not NONE, SSL or STARTTLS")));
}

}  // namespace
}  // namespace sievo
