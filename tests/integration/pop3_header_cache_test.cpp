#include <algorithm>

#include "config/file_io.h"
#include "mail/header_cache.h"
#include "mail/header_fields.h"
#include "server_fixture.h"

namespace sievo {
namespace {

using testing::DovecotServer;
using testing::DovecotTest;

// Listings of one mailbox that keep their header blocks in a cache file between scans.
class Pop3HeaderCacheTest : public DovecotTest {
protected:
    struct Scan {
        std::vector<std::string> subjects;
        std::vector<std::string> ids;
        int headerRequests = 0;
    };

    // Lists the mailbox on a session of its own.
    Scan ScanMailbox() {
        auto pop = NewClient();
        pop->HeaderCacheFile = CacheFile();
        Scan scan;
        pop->OnLineSent = [&](TagSocket&, const std::string& line) {
            scan.headerRequests += line.starts_with("TOP ") ? 1 : 0;
        };
        pop->UpdateInfo();
        for (int i = 0; i < pop->RemoteInfo().Count(); ++i) {
            scan.subjects.push_back(GetHeaderField(pop->RemoteInfo()[i].Headers, "Subject"));
            scan.ids.push_back(pop->RemoteInfo()[i].UniqueId);
        }
        lastInfo.Assign(pop->RemoteInfo());
        return scan;
    }

    std::string CacheFile() const { return PathOf("headers.cache"); }

    static std::vector<std::string> Subjects(std::initializer_list<int> numbers) {
        std::vector<std::string> subjects;
        for (const int n : numbers)
            subjects.push_back("Message " + std::to_string(n));
        return subjects;
    }

    TmsRemoteInfo lastInfo;
};

TEST_F(Pop3HeaderCacheTest, ARescanFetchesOnlyTheHeadersOfMessagesItHasNotSeen) {
    StartDovecot(DovecotServer::GeneratedMessages(3));
    const Scan first = ScanMailbox();
    EXPECT_EQ(first.headerRequests, 3);
    EXPECT_EQ(first.subjects, Subjects({1, 2, 3}));
    ASSERT_EQ(first.ids.size(), 3u);
    EXPECT_FALSE(first.ids[0].empty());

    const Scan unchanged = ScanMailbox();
    EXPECT_EQ(unchanged.headerRequests, 0);
    EXPECT_EQ(unchanged.subjects, first.subjects);
    EXPECT_EQ(unchanged.ids, first.ids);
    EXPECT_EQ(lastInfo[1].Size, static_cast<qint64>(DovecotServer::GeneratedMessage(2).size()));

    // Message 1 goes and 4 comes: number 3 on the server is now a message never listed.
    DeleteElsewhere(1);
    dovecot->Deliver(DovecotServer::GeneratedMessage(4));
    const Scan changed = ScanMailbox();
    EXPECT_EQ(changed.headerRequests, 1);
    EXPECT_EQ(changed.subjects, Subjects({2, 3, 4}));
    EXPECT_EQ(changed.ids[0], first.ids[1]);
    const std::string kept = ReadWholeFile(CacheFile()).value_or("");
    EXPECT_EQ(kept.find("Subject: Message 1\n"), std::string::npos) << kept;
    EXPECT_NE(kept.find("Subject: Message 4\n"), std::string::npos) << kept;
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(Pop3HeaderCacheTest, ACacheFileThatIsDamagedOrOfAnotherMailboxCostsAFullListing) {
    StartDovecot(DovecotServer::GeneratedMessages(3));
    ScanMailbox();
    std::string text = ReadWholeFile(CacheFile()).value_or("");
    const auto subject = text.find("Message 2");
    ASSERT_NE(subject, std::string::npos) << text;
    text[subject + 8] = '9';
    ASSERT_TRUE(WriteFileAtomically(CacheFile(), text));
    Scan scan = ScanMailbox();
    EXPECT_EQ(scan.headerRequests, 3);
    EXPECT_EQ(scan.subjects, Subjects({1, 2, 3}));

    // A sound file with the very ids, written for another account.
    TmsRemoteInfo forged;
    forged.Assign(lastInfo);
    for (int i = 0; i < forged.Count(); ++i)
        forged[i].Headers = {"Subject: forged"};
    ASSERT_TRUE(THeaderCache::Save(CacheFile(), "someone@elsewhere", forged));
    scan = ScanMailbox();
    EXPECT_EQ(scan.headerRequests, 3);
    EXPECT_EQ(scan.subjects, Subjects({1, 2, 3}));
    EXPECT_EQ(ScanMailbox().headerRequests, 0);  // rewritten for this mailbox
    EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
}  // namespace sievo
