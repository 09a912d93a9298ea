#include "mail/mail_errors.h"
#include "net/net_errors.h"
#include "server_fixture.h"

namespace sievo {
namespace {

using testing::DovecotServer;
using testing::DovecotTest;

// The marks of a mailbox whose messages must never be taken for others.
class Pop3ProtectionTest : public DovecotTest {
protected:
    // The generated messages with these numbers.
    static std::vector<std::string> Only(std::initializer_list<int> numbers, bool withIds) {
        std::vector<std::string> texts;
        for (const int n : numbers)
            texts.push_back(DovecotServer::GeneratedMessage(n, withIds));
        return texts;
    }
};

TEST_F(Pop3ProtectionTest, AMailboxChangedAfterTheListingIsNeverTakenForTheOneListed) {
    for (const bool withIds : {true, false}) {
        errors.clear();
        StartDovecot(DovecotServer::GeneratedMessages(3, withIds));
        auto pop = NewClient();
        pop->UpdateInfo();  // and logs out
        DeleteElsewhere(1);
        // Message 2 of the listing is message 1 on the server now; message 3 is number 2.
        pop->MarkForDelete(1);
        EXPECT_THROW(pop->TransferData(), ESocketError) << withIds;
        EXPECT_EQ(errors, std::vector<std::string>{mail_texts::kIdsAreDifferent}) << withIds;
        pop->Cancel();
        ASSERT_TRUE(dovecot->WaitForSessionsEnded(3));
        EXPECT_EQ(dovecot->StoredMessages(), Only({2, 3}, withIds)) << withIds;
    }
}

TEST_F(Pop3ProtectionTest, AMarkedMessageDeletedElsewhereStopsTheTransferAtIt) {
    StartDovecot(DovecotServer::GeneratedMessages(3));
    auto pop = NewClient();
    pop->UpdateInfo();
    DeleteElsewhere(3);
    pop->MarkForDelete(2);
    EXPECT_THROW(pop->TransferData(), EServerError);
    pop->LogoutAndClose();
    ASSERT_TRUE(dovecot->WaitForSessionsEnded(3));
    EXPECT_EQ(dovecot->StoredMessages(), Only({1, 2}, true));
}

TEST_F(Pop3ProtectionTest, DeletionsSentOnAConnectionDroppedWithoutQuitDeleteNothing) {
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
    auto again = NewClient();
    again->ConnectAndLogin();
    EXPECT_EQ(again->MessageCount(), 3);
}

TEST_F(Pop3ProtectionTest, QuitDeletesExactlyTheMarkedMessagesAfterRetrievingTheMarkedOnes) {
    StartDovecot(DovecotServer::GeneratedMessages(5));
    auto pop = NewClient();
    pop->KeepConnection = true;
    std::vector<int> deleting;
    std::vector<int> retrieved;
    pop->OnDeleting = [&](TagSocket&, int num) { deleting.push_back(num); };
    pop->OnUserMessageSave = [&](TagSocket&, int num, QIODevice& contents) {
        EXPECT_EQ(contents.readAll().toStdString(), DovecotServer::GeneratedMessage(num + 1));
        retrieved.push_back(num);
    };
    pop->UpdateInfo();
    pop->MarkForDelete(1);
    pop->MarkForDelete(3);
    pop->MarkForRetrieve(3);
    pop->MarkForRetrieve(4);
    pop->Unmark(4);
    pop->TransferData();
    EXPECT_FALSE(pop->Connected());
    EXPECT_EQ(deleting, (std::vector<int>{1, 3}));
    EXPECT_EQ(retrieved, std::vector<int>{3});
    ASSERT_TRUE(dovecot->WaitForSessionsEnded(1));
    EXPECT_EQ(dovecot->StoredMessages(), Only({1, 3, 5}, true));
    EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
}  // namespace sievo
