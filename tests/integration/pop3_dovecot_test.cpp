#include <QFile>

#include "config/file_io.h"
#include "net/net_errors.h"
#include "server_fixture.h"

namespace sievo {
namespace {

using testing::DovecotServer;
using testing::DovecotTest;

// A body with the lines a POP3 server must stuff: a lone dot and lines that begin with one.
const std::string kDottedMessage =
    "Message-ID: <dots@example.org>\r\nSubject: dots\r\n\r\nfirst\r\n.\r\n..two\r\n.x\r\n";

TEST_F(DovecotTest, PlainLogInListsHeadersAndRetrievesMessagesByteForByte) {
    std::vector<std::string> messages = DovecotServer::GeneratedMessages(3);
    messages.push_back(kDottedMessage);
    StartDovecot(messages);
    auto pop = NewClient();
    pop->SetLogFileName(PathOf("pop3.log"));
    pop->SetMessageDirectory(PathOf("bin"));
    ASSERT_TRUE(EnsureFolder(PathOf("bin")));

    pop->UpdateInfo();  // sizes and subjects: the header cache tests
    EXPECT_FALSE(pop->Connected());
    EXPECT_EQ(pop->MessageCount(), 4);
    ASSERT_EQ(pop->RemoteInfo().Count(), 4);

    pop->MarkForRetrieve(3);
    pop->MarkForRetrieve(0);
    pop->TransferData();
    EXPECT_EQ(ReadWholeFile(PathOf("bin/msg_0.eml")), messages[0]);
    EXPECT_EQ(ReadWholeFile(PathOf("bin/msg_3.eml")), kDottedMessage);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(PathOf("bin/msg_1.eml"))));
    EXPECT_EQ(dovecot->StoredMessages(), messages);
    EXPECT_TRUE(errors.empty()) << errors.front();

    pop.reset();  // writes the transcript
    const std::string transcript = ReadFile("pop3.log");
    EXPECT_NE(transcript.find("PASS ********"), std::string::npos) << transcript;
    EXPECT_EQ(transcript.find(DovecotServer::kPassword), std::string::npos) << transcript;
}

TEST_F(DovecotTest, Pop3sAndStlsCarryTheWholeSessionOverVerifiedTls) {
    StartDovecot(DovecotServer::GeneratedMessages(2), true);
    for (const TlsMode mode : {TlsMode::Ssl, TlsMode::StartTls}) {
        SCOPED_TRACE(mode == TlsMode::Ssl ? "POP3S" : "STLS");
        auto pop = NewClient();
        pop->Security = mode;
        pop->Server = mode == TlsMode::Ssl ? dovecot->TlsAddress() : dovecot->PlainAddress();
        std::vector<std::string> sentInPlain;
        pop->OnLineSent = [&](TagSocket& socket, const std::string& line) {
            if (!socket.Encrypted())
                sentInPlain.push_back(line);
        };
        pop->KeepConnection = true;
        pop->UpdateInfo();
        EXPECT_TRUE(pop->Encrypted());
        EXPECT_EQ(pop->RemoteInfo().Count(), 2);
        const std::vector<std::string> expected = mode == TlsMode::StartTls
                                                      ? std::vector<std::string>{"STLS"}
                                                      : std::vector<std::string>{};
        EXPECT_EQ(sentInPlain, expected);
        pop->LogoutAndClose();
    }
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(DovecotTest, StlsRefusedEndsTheConnectionBeforeTheUserNameIsSent) {
    StartDovecot(DovecotServer::GeneratedMessages(1));  // no TLS at all
    auto pop = NewClient();
    pop->Security = TlsMode::StartTls;
    std::vector<std::string> sent;
    pop->OnLineSent = [&](TagSocket&, const std::string& line) { sent.push_back(line); };
    EXPECT_THROW(pop->ConnectAndLogin(), ESocketError);
    EXPECT_EQ(sent, std::vector<std::string>{"STLS"});
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("TLS handshake failed: ", 0), 0u) << errors[0];
    EXPECT_FALSE(pop->Connected());
}

}  // namespace
}  // namespace sievo
