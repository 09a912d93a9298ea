#include <cstdlib>
#include <memory>

#include "mail/ms_smtp.h"
#include "mail/smtp_extensions.h"
#include "net/net_errors.h"
#include "net/tls_settings.h"
#include "server_fixture.h"
#include "smtp_sink.h"

namespace sievo {
namespace {

using testing::SmtpSink;

constexpr const char* kSmtpUser = "sam";
constexpr const char* kSmtpPassword = "smtp secret";

// An aiosmtpd server started for one test, and a client with a message for it.
class SmtpSinkTest : public testing::TlsServerTest {
protected:
    void SetUp() override {
        TlsServerTest::SetUp();
        testing::RecordErrors(smtp, errors);
        smtp.OnLineSent = [this](TagSocket& socket, const std::string& line) {
            sent.push_back((socket.Encrypted() ? "tls: " : "plain: ") + line);
        };
        message.Sender().SetAddress("me@example.org");
        message.Recipients().Add("you@example.org", "You");
        message.CC().Add("copy@example.org", "");
        message.BCC().Add("hidden@example.org", "");
        message.SetSubject("Hello");
        message.Body() = {"First line", ".", "..two dots", ".x", "Last line"};
        smtp.MailMessage = &message;
    }

    // With `logIn`, the sink requires the log-in and the client gives it.
    void StartSink(SmtpSink::Options options, bool logIn = false) {
        if (logIn) {
            options.user = smtp.UserName = kSmtpUser;
            options.password = smtp.Password = kSmtpPassword;
        }
        if (options.tls != SmtpSink::Tls::None) {
            options.certificateFile = certificates().Path("server.pem");
            options.keyFile = certificates().Path("server.key");
        }
        sink = std::make_unique<SmtpSink>(options);
        ASSERT_TRUE(sink->Started()) << sink->Error();
        smtp.Server = sink->Address();
    }

    std::unique_ptr<SmtpSink> sink;
    TmsSMTP smtp;
    TmsMessage message;
    std::vector<std::string> errors;
    std::vector<std::string> sent;
};

TEST_F(SmtpSinkTest, PlainHeloSendsTheEnvelopeInOrderAndTheBodyIntact) {
    StartSink({});
    smtp.SendMail();
    EXPECT_FALSE(smtp.Connected());
    const auto received = sink->Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].mailFrom, "me@example.org");
    EXPECT_EQ(received[0].rcptTo, (std::vector<std::string>{"you@example.org", "copy@example.org",
                                                            "hidden@example.org"}));
    EXPECT_NE(received[0].data.find("\r\nFirst line\r\n.\r\n..two dots\r\n.x\r\nLast line\r\n"),
              std::string::npos)
        << received[0].data;
    EXPECT_EQ(received[0].data.find("hidden@example.org"), std::string::npos);
    EXPECT_FALSE(received[0].tls);
    EXPECT_EQ(sent.front().rfind("plain: HELO ", 0), 0u);
    EXPECT_TRUE(errors.empty()) << errors.front();
}

// AUTH LOGIN is used only when the server offers nothing else.
TEST_F(SmtpSinkTest, StartTlsAndImplicitTlsAuthenticateOnlyOverTheEncryptedSession) {
    const std::pair<SmtpSink::Tls, bool> cases[] = {{SmtpSink::Tls::StartTls, false},
                                                    {SmtpSink::Tls::Ssl, false},
                                                    {SmtpSink::Tls::StartTls, true}};
    for (const auto& [tls, authLoginOnly] : cases) {
        SCOPED_TRACE(std::string(tls == SmtpSink::Tls::Ssl ? "SMTPS" : "STARTTLS") +
                     (authLoginOnly ? ", AUTH LOGIN only" : ""));
        StartSink({.tls = tls, .authLoginOnly = authLoginOnly}, true);
        smtp.Security = tls == SmtpSink::Tls::Ssl ? TlsMode::Ssl : TlsMode::StartTls;
        sent.clear();
        smtp.SendMail();
        const auto received = sink->Received();
        ASSERT_EQ(received.size(), 1u);
        EXPECT_EQ(received[0].login, kSmtpUser);
        EXPECT_TRUE(received[0].tls);
        for (const std::string& line : sent) {
            const bool allowedInPlain =
                line.starts_with("plain: EHLO ") || line == "plain: STARTTLS";
            EXPECT_TRUE(line.starts_with("tls: ") || allowedInPlain) << line;
        }
        const std::vector<std::string> auth =
            authLoginOnly ? std::vector<std::string>{"tls: AUTH LOGIN", "tls: ********"}
                          : std::vector<std::string>{"tls: AUTH PLAIN ********"};
        for (const std::string& line : auth)
            EXPECT_NE(std::find(sent.begin(), sent.end(), line), sent.end()) << line;
        EXPECT_EQ(std::find(sent.begin(), sent.end(), "tls: " + Base64(kSmtpPassword)), sent.end());
    }
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(SmtpSinkTest, StartTlsNotOfferedEndsTheConnectionBeforeTheEnvelope) {
    StartSink({});
    smtp.Security = TlsMode::StartTls;
    EXPECT_THROW(smtp.SendMail(), ESocketError);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], TlsFailureText("the server does not offer STARTTLS"));
    EXPECT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].rfind("plain: EHLO ", 0), 0u);
    EXPECT_FALSE(smtp.Connected());
}

TEST_F(SmtpSinkTest, ThePasswordGoesWithoutTlsOnlyWhenTheUserAllowedIt) {
    StartSink({.authOverPlainText = true}, true);
    EXPECT_THROW(smtp.SendMail(), ESocketError);
    EXPECT_EQ(sent.size(), 1u) << sent.back();
    EXPECT_TRUE(sink->Received().empty());

    smtp.AllowPlainTextAuth = true;
    smtp.SendMail();
    const auto received = sink->Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].login, kSmtpUser);
    EXPECT_FALSE(received[0].tls);
}

}  // namespace
}  // namespace sievo
