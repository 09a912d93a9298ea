#include <gtest/gtest.h>

#include <QTimer>
#include <algorithm>
#include <chrono>

#include "config/errors.h"
#include "mail/header_cache.h"
#include "mail/mail_errors.h"
#include "mail/ms_remote_pop.h"
#include "message_text.h"
#include "net/net_errors.h"
#include "scripted_server.h"
#include "server_process.h"
#include "socket_recording.h"
#include "temp_home.h"

namespace sievo {
namespace {

using namespace std::chrono_literals;
using testing::ScriptedServer;

std::string TopReply(int n) {
    return "+OK\r\nSubject: " + std::to_string(n) + "\r\n\r\nbody\r\n.\r\n";
}

// Greeting, USER, PASS and a STAT announcing `count` messages.
void ScriptStat(ScriptedServer& server, const std::string& count) {
    server.Send("+OK ready\r\n").ReadLine().Send("+OK\r\n").ReadLine().Send("+OK\r\n");
    server.ReadLine().Send("+OK " + count + " 1000\r\n");
}

// The log-in, then CAPA announcing the capabilities, the reply to UIDL, and a multi-line
// LIST of sizes 100, 200, ... for `count` messages.
void ScriptCapaAndSizes(ScriptedServer& server, int count, const std::string& capabilities,
                        const std::string& uidl = "-ERR no ids\r\n") {
    ScriptStat(server, std::to_string(count));
    server.ReadLine().Send("+OK\r\n" + capabilities + ".\r\n");
    server.ReadLine().Send(uidl);
    std::string sizes = "+OK\r\n";
    for (int n = 1; n <= count; ++n)
        sizes += std::to_string(n) + " " + std::to_string(n * 100) + "\r\n";
    server.ReadLine().Send(sizes + ".\r\n");
}

// LIST and TOP of one message with its header lines.
void ScriptListing(ScriptedServer& server, int number, const std::string& headers) {
    server.ReadLine().Send("+OK " + std::to_string(number) + " 500\r\n");
    server.ReadLine().Send("+OK\r\n" + headers + "\r\nbody\r\n.\r\n");
}

// What a POP3 client did against a scripted server: its errors and the messages listed.
class Pop3ClientTest : public testing::TempHomeTest {
protected:
    // Far longer than any case may take: a client that is never stopped is canceled then,
    // and the case fails on the cancel instead of hanging.
    static constexpr int kWatchdogMs = 20000;

    Pop3ClientTest() {
        pop.Server = server.Address();
        pop.UserName = "sam";
        pop.Password = "secret";
        testing::RecordErrors(pop, errors);
        pop.OnNextInfoUpdated = [this](TagSocket&, int num) { listed.push_back(num); };
        pop.KeepConnection = true;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [this] { pop.Cancel(); });
    }

    // The log-in for a server of the oldest kind, which refuses CAPA, UIDL and the
    // multi-line LIST: messages are then listed one command at a time.
    void ScriptLogin(int count) {
        ScriptStat(server, std::to_string(count));
        for (int refused = 0; refused < 3; ++refused)
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

    std::vector<std::string> Listing() const { return testing::ListingOf(pop.RemoteInfo()); }

    // Lists the mailbox, which fails with an `Error` or not at all as `fails` says; then the
    // items listed, the errors reported, and which of id1 to id3 the header cache holds.
    template <typename Error = Exception>
    void ExpectListing(const std::vector<std::string>& listing, bool fails,
                       const std::vector<std::string>& reported,
                       const std::vector<std::string>& cached = {}) {
        watchdog.start(kWatchdogMs);
        bool failed = false;
        try {
            pop.UpdateInfo();
        } catch (const Error& error) {
            failed = true;
            EXPECT_EQ(error.what(), errors.back());
        }
        EXPECT_EQ(failed, fails);
        EXPECT_EQ(pop.Connected(), !fails);
        EXPECT_EQ(Listing(), listing);
        EXPECT_EQ(errors, reported);
        const auto cache = THeaderCache::Load(pop.HeaderCacheFile, "sam@" + pop.Server);
        std::vector<std::string> cachedIds;
        for (const char* id : {"id1", "id2", "id3"})
            if (cache.Find(id))
                cachedIds.push_back(id);
        EXPECT_EQ(cachedIds, cached);
    }

    // The last `count` entries of the wire record.
    std::vector<std::string> WireTail(std::size_t count) const {
        return {wire.end() - static_cast<std::ptrdiff_t>(std::min(count, wire.size())), wire.end()};
    }

    ScriptedServer server;
    TmsRemotePOP pop;
    std::vector<std::string> errors;
    std::vector<int> listed;
    std::vector<std::string> wire;
    QTimer watchdog;
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
    ScriptStat(server, "many");
    EXPECT_THROW(pop.ConnectAndLogin(), ESocketError);
    EXPECT_EQ(errors, std::vector<std::string>{"'many' is not a valid integer value"});
    EXPECT_EQ(pop.MessageCount(), -1);
}

TEST_F(Pop3ClientTest, ListingKeepsHeadersCutAtTheBodyAndUndoesDotStuffing) {
    ScriptLogin(2);
    ScriptListing(server, 1, "Subject: one\r\n..dotted: field\r\n");
    server.ReadLine().Send("+OK 2 notanumber\r\n");
    server.ReadLine().Send("+OK\r\nSubject: two\r\n.\r\n");
    RecordWire();
    ExpectListing({"500 [] | Subject: one | .dotted: field", "0 [] | Subject: two"}, false, {});
    EXPECT_EQ(listed, (std::vector<int>{0, 1}));
    EXPECT_EQ(server.Received()[6], "LIST 1");
    EXPECT_EQ(server.Received()[7], "TOP 1 1");
    // The password reaches the server but never the record of the session.
    EXPECT_EQ(server.Received()[1], "PASS secret");
    EXPECT_NE(std::find(wire.begin(), wire.end(), "> PASS ********"), wire.end());
}

TEST_F(Pop3ClientTest, AConnectionLostInTheListingKeepsTheItemsListedSoFar) {
    ScriptLogin(3);
    ScriptListing(server, 1, "Subject: one\r\n");
    server.ReadLine().Send("+OK 2 500\r\n").ReadLine().Send("+OK\r\nSubject: cut").Close();
    bool updated = false;
    pop.OnInfoUpdated = [&](TagSocket&) { updated = true; };
    EXPECT_THROW(pop.UpdateInfo(), ESocketError);
    EXPECT_EQ(Listing(), std::vector<std::string>{"500 [] | Subject: one"});
    EXPECT_EQ(errors, std::vector<std::string>{std::string(TagSocket::kClosedEarlyText)});
    EXPECT_EQ(listed, std::vector<int>{0});
    EXPECT_FALSE(updated);
}

TEST_F(Pop3ClientTest, ARefusedDeletionIsReportedAndEndsTheTransfer) {
    ScriptLogin(2);
    ScriptListing(server, 1, "Message-ID: <a@x>\r\n");
    ScriptListing(server, 2, "Message-ID: <b@x>\r\n");
    ScriptListing(server, 1, "Message-ID: <a@x>\r\n");
    server.ReadLine().Send("-ERR cannot delete\r\n");
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
        SCOPED_TRACE(row.uidlReply);
        ScriptedServer mailbox;
        pop.Server = mailbox.Address();
        errors.clear();
        ScriptCapaAndSizes(mailbox, 1, "UIDL\r\n", "+OK\r\n1 first-id\r\n.\r\n");
        mailbox.ReadLine().Send("+OK\r\nMessage-ID: <same@x>\r\n\r\n.\r\n");
        ScriptListing(mailbox, 1, "Message-ID: <same@x>\r\n");  // verified before DELE
        mailbox.ReadLine().Send(row.uidlReply);
        if (row.deleted)
            mailbox.ReadLine().Send("+OK\r\n").ReadLine().Send("+OK\r\n");
        pop.UpdateInfo();
        pop.MarkForDelete(0);
        if (row.deleted) {
            pop.TransferData();
        } else {
            EXPECT_THROW(pop.TransferData(), ESocketError);
        }
        ASSERT_TRUE(mailbox.WaitFinished());
        const auto& sent = mailbox.Received();
        EXPECT_EQ(std::count(sent.begin(), sent.end(), "DELE 1"), row.deleted ? 1 : 0);
        EXPECT_EQ(sent[9], "UIDL 1");
        EXPECT_EQ(errors,
                  std::vector<std::string>(row.deleted ? 0 : 1, mail_texts::kIdsAreDifferent));
        pop.Close();
    }
}

TEST_F(Pop3ClientTest, PipeliningSendsTheHeaderRequestsAheadOfTheReplies) {
    ScriptCapaAndSizes(server, 3, "USER\r\nPIPELINING\r\nTOP\r\n");
    server.ReadLine().ReadLine().ReadLine();  // every TOP before any reply
    server.Send(TopReply(1) + TopReply(2) + TopReply(3));
    RecordWire();
    ExpectListing({"100 [] | Subject: 1", "200 [] | Subject: 2", "300 [] | Subject: 3"}, false, {});
    EXPECT_EQ(listed, (std::vector<int>{0, 1, 2}));
    const std::vector<std::string> commands(server.Received().begin() + 3, server.Received().end());
    EXPECT_EQ(commands,
              (std::vector<std::string>{"CAPA", "UIDL", "LIST", "TOP 1 1", "TOP 2 1", "TOP 3 1"}));
    EXPECT_EQ(WireTail(6), (std::vector<std::string>{"> TOP 1 1", "> TOP 2 1", "> TOP 3 1", "< +OK",
                                                     "< +OK", "< +OK"}));
}

// A server that does not announce PIPELINING, or a client told to ignore it, must wait for
// each reply before the next TOP.
TEST_F(Pop3ClientTest, WithoutPipeliningEachHeaderRequestAwaitsTheLastReply) {
    for (const bool announced : {false, true}) {
        SCOPED_TRACE(announced);
        ScriptedServer mailbox;
        pop.Server = mailbox.Address();
        pop.IgnorePipelining = announced;
        ScriptCapaAndSizes(mailbox, 2, announced ? "PIPELINING\r\n" : "TOP\r\nUSER\r\n");
        mailbox.ReadLine().Send(TopReply(1)).ReadLine().Send(TopReply(2));
        RecordWire();
        ExpectListing({"100 [] | Subject: 1", "200 [] | Subject: 2"}, false, {});
        EXPECT_EQ(WireTail(4),
                  (std::vector<std::string>{"> TOP 1 1", "< +OK", "> TOP 2 1", "< +OK"}));
        pop.Close();
    }
}

TEST_F(Pop3ClientTest, AnErrorInAPipelinedListingKeepsTheItemsBeforeItAndEndsTheSession) {
    ScriptCapaAndSizes(server, 3, "PIPELINING\r\n");
    server.ReadLine().ReadLine().ReadLine();
    server.Send(TopReply(1) + "-ERR gone\r\n" + TopReply(3));
    // The third reply is still on its way: a later command would be paired with it, so the
    // session ends.
    ExpectListing<EServerError>({"100 [] | Subject: 1"}, true, {"-ERR gone"});
    EXPECT_EQ(listed, std::vector<int>{0});
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

// Hostile servers: a listing must stay bounded in time and memory whatever they send.
class HostileServerTest : public Pop3ClientTest {
protected:
    HostileServerTest() { pop.HeaderCacheFile = PathOf("headers.cache"); }

    // About `bytes` bytes of ordinary-looking header fields.
    static std::string FillerFields(std::size_t bytes) {
        const std::string field = "X-Filler: " + std::string(70, 'f') + "\r\n";
        std::string fields;
        while (fields.size() < bytes)
            fields += field;
        return fields;
    }

    // The log-in with CAPA announcing TOP and UIDL, and the ids "id1", "id2", ...
    void ScriptLogin(int count) {
        std::string ids = "+OK\r\n";
        for (int n = 1; n <= count; ++n)
            ids += std::to_string(n) + " id" + std::to_string(n) + "\r\n";
        ScriptCapaAndSizes(server, count, "TOP\r\nUIDL\r\n", ids + ".\r\n");
    }
};

TEST_F(HostileServerTest, AHugeHeaderBlockIsListedButNotKeptAndTheSessionStaysInStep) {
    ScriptLogin(3);
    server.ReadLine().Send(TopReply(1));
    server.ReadLine().Send("+OK\r\nSubject: huge\r\n" + FillerFields(2 * 1024 * 1024) +
                           "\r\nbody\r\n.\r\n");
    server.ReadLine().Send(TopReply(3));
    ExpectListing({"100 [id1] | Subject: 1", "200 [id2] (not kept)", "300 [id3] | Subject: 3"},
                  false,
                  {"Header block of message 2 is too large to keep; the message is not judged"},
                  {"id1", "id3"});
}

// A header block that never ends, or one trickled a line at a time, times out within the
// deadline of the whole reply.
TEST_F(HostileServerTest, AReplyCannotBeStretchedBeyondItsDeadline) {
    for (const bool trickled : {false, true}) {
        SCOPED_TRACE(trickled ? "trickled" : "endless");
        ScriptedServer mailbox;
        pop.Server = mailbox.Address();
        errors.clear();
        ScriptCapaAndSizes(mailbox, 1, "TOP\r\n");
        mailbox.ReadLine().Send("+OK\r\nSubject: slow\r\n");
        mailbox.SendForever(trickled ? "X-Drip: drop\r\n" : FillerFields(16 * 1024),
                            trickled ? 100ms : 0ms);
        pop.SetTimeOut(1);
        ExpectListing({}, true, {"Operation timed out"}, {});
    }
}

TEST_F(HostileServerTest, AUidlReplyBeyondItsBoundCountsAsRefused) {
    std::string uidl = "+OK\r\n1 id1\r\n";
    for (int n = 0; n < 1000; ++n)
        uidl += "2 id" + std::to_string(n) + "\r\n";
    ScriptCapaAndSizes(server, 1, "TOP\r\nUIDL\r\n", uidl + ".\r\n");
    server.ReadLine().Send(TopReply(1));
    ExpectListing({"100 [] | Subject: 1"}, false, {}, {});
}

TEST_F(HostileServerTest, ARefusedConnectionLeavesTheClientClosedForTheNextLogIn) {
    pop.Server = "127.0.0.1:" + std::to_string(testing::FreePort());
    EXPECT_THROW(pop.ConnectAndLogin(), ESocketError);
    EXPECT_FALSE(pop.Connected());
    ScriptLogin(1);
    server.ReadLine().Send(TopReply(1));
    pop.Server = server.Address();
    ExpectListing({"100 [id1] | Subject: 1"}, false, {"Error #111: Connection refused"}, {"id1"});
}

}  // namespace
}  // namespace sievo
