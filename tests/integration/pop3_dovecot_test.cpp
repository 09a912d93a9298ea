#include "mail/header_fields.h"
#include "net/net_errors.h"
#include "server_fixture.h"

namespace sievo {
namespace {

using testing::DovecotServer;
using testing::DovecotTest;

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
        EXPECT_EQ(sentInPlain, mode == TlsMode::StartTls ? std::vector<std::string>{"STLS"}
                                                         : std::vector<std::string>{});
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

TEST_F(DovecotTest, DeletionsSentOnAConnectionDroppedWithoutQuitDeleteNothing) {
    const auto messages = DovecotServer::GeneratedMessages(3);
    StartDovecot(messages);
    auto pop = NewClient();
    pop->KeepConnection = true;
    pop->UpdateInfo();
    pop->DeleteMessage(0);
    pop->DeleteMessage(2);
    pop->Cancel();
    ASSERT_TRUE(dovecot->WaitForSessionsEnded(1));
    EXPECT_EQ(dovecot->StoredMessages(), messages);
}

// Listings of one mailbox that keep their header blocks in a cache file between scans.
TEST_F(DovecotTest, ARescanFetchesOnlyTheHeadersOfMessagesItHasNotSeen) {
    struct Scan {
        std::vector<std::string> subjects, ids;
        std::vector<qint64> sizes;
        int headerRequests = 0;
    };
    const auto scanMailbox = [this] {
        auto pop = NewClient();
        pop->HeaderCacheFile = PathOf("headers.cache");
        Scan scan;
        pop->OnLineSent = [&](TagSocket&, const std::string& line) {
            scan.headerRequests += line.starts_with("TOP ") ? 1 : 0;
        };
        pop->UpdateInfo();
        EXPECT_FALSE(pop->Connected());  // logged out once listed
        for (const auto& item : pop->RemoteInfo()) {
            scan.subjects.push_back(GetHeaderField(item.Headers, "Subject"));
            scan.ids.push_back(item.UniqueId);
            scan.sizes.push_back(item.Size);
        }
        return scan;
    };
    StartDovecot(DovecotServer::GeneratedMessages(3));
    const Scan first = scanMailbox();
    EXPECT_EQ(first.headerRequests, 3);
    EXPECT_EQ(first.subjects, (std::vector<std::string>{"Message 1", "Message 2", "Message 3"}));
    ASSERT_EQ(first.ids.size(), 3u);
    EXPECT_FALSE(first.ids[0].empty());

    const Scan unchanged = scanMailbox();
    EXPECT_EQ(unchanged.headerRequests, 0);
    EXPECT_EQ(unchanged.subjects, first.subjects);
    EXPECT_EQ(unchanged.ids, first.ids);
    EXPECT_EQ(unchanged.sizes[1], qint64(DovecotServer::GeneratedMessage(2).size()));

    // Message 1 goes (another client deletes it and quits) and 4 comes: number 3 on the
    // server is now a message never listed.
    auto other = NewClient();
    other->ConnectAndLogin();
    other->DeleteMessage(0);
    other->LogoutAndClose();
    dovecot->Deliver(DovecotServer::GeneratedMessage(4));
    const Scan changed = scanMailbox();
    EXPECT_EQ(changed.headerRequests, 1);
    EXPECT_EQ(changed.subjects, (std::vector<std::string>{"Message 2", "Message 3", "Message 4"}));
    EXPECT_EQ(changed.ids[0], first.ids[1]);
    const std::string kept = ReadFile("headers.cache");
    EXPECT_EQ(kept.find("Subject: Message 1\n"), std::string::npos) << kept;
    EXPECT_NE(kept.find("Subject: Message 4\n"), std::string::npos) << kept;
    EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
}  // namespace sievo
