#include "engine/preview_session.h"

#include <QTimer>

#include "config/activity_log.h"
#include "config/errors.h"
#include "mail/message.h"
#include "mailbox_account.h"
#include "pop3_script.h"
#include "store/accounts_store.h"
#include "temp_home.h"

namespace sievo::testing {
namespace {

class PreviewSessionTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        TheActivityLog().Open();
    }

    std::string status;
    std::vector<std::string> subjects;
    std::vector<bool> ends;
    PreviewSession session{
        [](TSievoUser&) {},
        {[this](const std::string& text) { status = text; }, [this] { subjects.clear(); },
         [this](int, int, const TmsRemoteInfoItem& item) {
             subjects.push_back(GetHeaderField(item.Headers, "Subject"));
         },
         [this](bool completed) { ends.push_back(completed); }}};
};

// A failed listing is told once, and keeps what arrived; a complete one ends the session.
TEST_F(PreviewSessionTest, ListsInOrderAndTellsAFailureOnce) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"Message 1", "Message 2"}, "sam@home.test has 2 new mail messages -- click to view"},
        {{"Message 1"}, "The server closed the connection"}};
    for (const auto& [listed, expectedStatus] : cases) {
        const int answered = int(listed.size());
        SCOPED_TRACE(answered);
        ScriptedServer server;
        ScriptListing(server, 2, answered);
        const int account = AppendMailboxAccount(server.Address());
        const std::uint16_t errorsBefore = TheActivityLog().ErrorCount();
        ends.clear();
        session.List(accounts::ForCheck(account));

        const bool completed = answered == 2;
        EXPECT_TRUE(server.WaitFinished());
        EXPECT_EQ(subjects, listed);
        EXPECT_EQ(ends, std::vector<bool>{completed});
        EXPECT_EQ(status, expectedStatus);
        EXPECT_EQ(TheActivityLog().ErrorCount(), errorsBefore + (completed ? 0 : 1));
        EXPECT_EQ(server.Received().back() == "QUIT", completed);
    }
}

// The window closed and opened again for another account while the first still lists: the
// first stops at once, quietly, and the account asked for is listed.
TEST_F(PreviewSessionTest, ANewRequestReplacesTheRunningListing) {
    ScriptedServer first;
    first.Send("+OK ready\r\n").ReadLine().Send("+OK\r\n").ReadLine().Send("+OK\r\n");
    first.ReadLine().Hold();  // STAT is never answered
    ScriptedServer second;
    ScriptListing(second, 1, 1);
    AppendMailboxAccount(first.Address());
    AppendMailboxAccount(second.Address(), "ann@work.test");
    const QObject timers;  // ends them with the test
    // By then the first listing waits for its STAT reply.
    QTimer::singleShot(200, &timers, [&] { session.List(accounts::ForCheck(2)); });
    bool gaveUp = false;  // without the replacement the first would wait out its time-out
    QTimer::singleShot(10000, &timers, [&] {
        gaveUp = true;
        session.CancelListing();
    });
    const std::uint16_t errorsBefore = TheActivityLog().ErrorCount();
    session.List(accounts::ForCheck(1));

    EXPECT_FALSE(gaveUp);
    EXPECT_EQ(subjects, std::vector<std::string>{"Message 1"});
    EXPECT_EQ(ends, (std::vector<bool>{false, true}));
    EXPECT_EQ(status, "ann@work.test has 1 new mail messages -- click to view");
    EXPECT_EQ(TheActivityLog().ErrorCount(), errorsBefore);
}

// The numbers move up when another client deletes a message: the one now under a chosen
// number is neither shown nor deleted in its place, and a failed deletion deletes nothing.
TEST_F(PreviewSessionTest, DeletesOnlyTheChosenMessagesThatAreStillTheOnesListed) {
    const DovecotServer server({DovecotServer::GeneratedMessages(4), "", ""});
    ASSERT_TRUE(server.Started()) << server.Error();
    AppendMailboxAccount(server.PlainAddress());
    session.List(accounts::ForCheck(1));
    session.Delete({0, 2});
    ASSERT_EQ(subjects, (std::vector<std::string>{"Message 2", "Message 4"}));
    const auto other = MakeMailboxSession(accounts::ForCheck(1));
    other->List();
    other->MarkForDelete(0);
    other->CarryOutMarks();
    EXPECT_THROW(session.View(0, [](TmsMessage&) { ADD_FAILURE() << "Message 4 shown as 2"; }),
                 Exception);
    const std::uint16_t errorsBefore = TheActivityLog().ErrorCount();
    session.Delete({0});

    EXPECT_EQ(TheActivityLog().ErrorCount(), errorsBefore + 1);
    EXPECT_EQ(server.StoredMessages(),
              std::vector<std::string>{DovecotServer::GeneratedMessage(4)});
    EXPECT_EQ(subjects, std::vector<std::string>{"Message 4"});
}

}  // namespace
}  // namespace sievo::testing
