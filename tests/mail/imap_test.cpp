#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>

#include "config/account.h"
#include "mail/imap_folder_names.h"
#include "mail/imap_response.h"
#include "mail/imap_session.h"
#include "mail/imap_uid_sets.h"
#include "mail/mail_errors.h"
#include "message_text.h"
#include "net/net_errors.h"
#include "scripted_server.h"
#include "socket_recording.h"
#include "temp_home.h"

namespace sievo {
namespace {

using testing::ListingOf;
using testing::ScriptedServer;

ImapResponse Parse(const std::string& text, std::vector<std::optional<std::string>> literals = {}) {
    return ParseImapResponse({text, std::move(literals)});
}

TEST(ImapResponseTest, ReadsTheRepliesServersSend) {
    const ImapResponse fetch = Parse(
        R"(* 12 FETCH (UID 7 FLAGS (\Seen $Junk) BODY[HEADER.FIELDS (Message-ID)] {5} X-A "q\"uo\\te" NIL))",
        {"Subj:"});
    EXPECT_EQ(fetch.tag, "*");
    EXPECT_EQ(fetch.number, 12u);
    EXPECT_EQ(fetch.name, "FETCH");
    ASSERT_EQ(fetch.values.size(), 1u);
    const ImapValue& items = fetch.values[0];
    EXPECT_EQ(items.Find("uid")->Number(), 7u);
    EXPECT_EQ(items.Find("FLAGS")->items[0].text, "\\Seen");
    EXPECT_EQ(items.Find("BODY[HEADER.FIELDS (Message-ID)]")->text, "Subj:");
    EXPECT_EQ(items.Find("X-A")->text, "q\"uo\\te");
    EXPECT_EQ(items.items.back().kind, ImapValue::Kind::Nil);

    const ImapResponse status = Parse("A7 no [TRYCREATE] No such mailbox");
    EXPECT_EQ(status.name, "NO");
    EXPECT_EQ(status.CodeName(), "TRYCREATE");
    EXPECT_EQ(status.text, "No such mailbox");
    const ImapResponse validity = Parse("* OK [UIDVALIDITY 3857529045] UIDs valid");
    EXPECT_EQ(validity.CodeArguments(), std::vector<std::string>{"3857529045"});
    EXPECT_EQ(Parse("* 3 EXPUNGE").number, 3u);
    EXPECT_EQ(Parse("+ go ahead").tag, "+");

    // A literal read to its end without being kept is a string that says so.
    const ImapResponse dropped = Parse("* 1 FETCH (UID 2 BODY[] {99999})", {std::nullopt});
    EXPECT_TRUE(dropped.values[0].Find("BODY[]")->dropped);

    for (const char* broken :
         {"* 1 FETCH (UID 2", "* 1 FETCH )", "* 1 FETCH (A \"open)", "", "* 1 FETCH (BODY[] {3})"})
        EXPECT_THROW(Parse(broken), EImapSyntax) << broken;
}

TEST(ImapResponseTest, LiteralsQuotingAndNumbers) {
    EXPECT_EQ(TrailingLiteralSize("* 1 FETCH (BODY[] {120}"), 120u);
    EXPECT_EQ(TrailingLiteralSize("A1 LOGIN {5+}"), 5u);
    EXPECT_EQ(TrailingLiteralSize("* OK {nope}"), std::nullopt);
    EXPECT_EQ(ImapQuoted(R"(Junk "mail"\x)"), R"("Junk \"mail\"\\x")");
    EXPECT_EQ(ImapQuoted(""), "\"\"");
    EXPECT_EQ(ImapQuoted("two\r\nlines"), std::nullopt);
    EXPECT_EQ(ParseImapNumber("4294967295"), 4294967295u);
    EXPECT_EQ(ParseImapNumber("4294967296"), std::nullopt);
    EXPECT_EQ(ParseImapNumber("-1"), std::nullopt);
}

TEST(ImapFolderNamesTest, ModifiedUtf7BothWays) {
    const std::pair<const char*, const char*> names[] = {{"INBOX", "INBOX"},
                                                         {"R&D", "R&-D"},
                                                         {"Entw\xC3\xBCrfe", "Entw&APw-rfe"},
                                                         {"\xE5\x8F\xB0\xE5\x8C\x97", "&U,BTFw-"},
                                                         {"Spam \xE2\x82\xAC/x", "Spam &IKw-/x"}};
    for (const auto& [utf8, wire] : names) {
        EXPECT_EQ(EncodeFolderName(utf8), wire);
        EXPECT_EQ(DecodeFolderName(wire), utf8);
    }
    // What is not modified UTF-7 is kept as the server wrote it.
    EXPECT_EQ(DecodeFolderName("A&B"), "A&B");
    EXPECT_EQ(DecodeFolderName("&A-"), "&A-");
}

TEST(ImapUidSetsTest, RunsBecomeRangesAndLongSetsAreSplit) {
    EXPECT_EQ(UidSets({9, 3, 4, 5, 5, 12, 11}, 100), std::vector<std::string>{"3:5,9,11:12"});
    EXPECT_TRUE(UidSets({}, 100).empty());
    const auto sets = UidSets({1, 3, 5, 7, 9, 11}, 5);
    EXPECT_EQ(sets, (std::vector<std::string>{"1,3,5", "7,9", "11"}));
    // A server's COPYUID set, read back; a hostile range cannot take the memory.
    EXPECT_EQ(ParseUidSet("5:3,9,x,7"), (std::vector<std::uint32_t>{3, 4, 5, 9, 7}));
    EXPECT_EQ(ParseUidSet("1:4294967295", 10).size(), 10u);
}

// An IMAP session against a scripted server, for what a real server will not do.
class ImapSessionTest : public testing::TempHomeTest {
protected:
    ImapSessionTest() {
        account.Protocol = "IMAP";
        account.POPAddress = server.Address();
        account.POPUser = "sam";
        account.Password = "secret";
        account.POPSecurity = "NONE";
        account.POPSecurityExplicit = true;
    }

    std::unique_ptr<ImapSession> Session() {
        MailboxEvents events;
        events.error = [this](const std::string& text) { notes.push_back(text); };
        auto session = std::make_unique<ImapSession>(account, std::move(events));
        session->SetTimeOut(testing::kPatientTimeOut);
        session->SetMessageFolder(Home());
        return session;
    }

    // Greeting, LOGIN and SELECT of a folder holding the messages with these UIDs.
    static void ScriptSelect(ScriptedServer& peer, const std::string& capabilities,
                             const std::vector<int>& uids, int validity = 7) {
        peer.Send("* OK [CAPABILITY IMAP4rev1 " + capabilities + "] ready\r\n");
        peer.ReadLine().Send("A1 OK [CAPABILITY IMAP4rev1 " + capabilities + "] in\r\n");
        peer.ReadLine().Send("* " + std::to_string(uids.size()) + " EXISTS\r\n* OK [UIDVALIDITY " +
                             std::to_string(validity) + "] ok\r\nA2 OK [READ-WRITE] done\r\n");
        if (uids.empty())
            return;
        std::string sizes;
        for (std::size_t i = 0; i < uids.size(); ++i)
            sizes += "* " + std::to_string(i + 1) + " FETCH (UID " + std::to_string(uids[i]) +
                     " RFC822.SIZE 100)\r\n";
        peer.ReadLine().Send(sizes + "A3 OK done\r\n");
    }

    static std::string HeaderFetch(int number, int uid, const std::string& block) {
        return "* " + std::to_string(number) + " FETCH (UID " + std::to_string(uid) +
               " BODY[HEADER] {" + std::to_string(block.size()) + "}\r\n" + block + ")\r\n";
    }

    ScriptedServer server;
    TSievoUser account;
    std::vector<std::string> notes;
};

TEST_F(ImapSessionTest, ListsByUidWithoutSettingSeenAndReadsALiteralSplitAcrossReads) {
    ScriptSelect(server, "UIDPLUS MOVE", {4, 9});
    const std::string second = "Subject: two\r\nMessage-ID: <2@x>\r\n\r\n";
    server.ReadLine()
        .Send(HeaderFetch(1, 4, "Subject: one\r\n\r\n") + "* 2 FETCH (UID 9 BODY[HEADER] {" +
              std::to_string(second.size()) + "}\r\nSubject: t")
        .Hold()
        .Send(second.substr(10) + ")\r\n* 3 EXISTS\r\nA4 OK done\r\n")
        .ReadLine()
        .Send("A5 OK\r\n");
    QTimer::singleShot(100, [this] { server.Resume(); });
    const auto session = Session();
    session->List();
    EXPECT_EQ(ListingOf(session->Listing()),
              (std::vector<std::string>{"100 [7.4] | Subject: one",
                                        "100 [7.9] | Subject: two | Message-ID: <2@x>"}));
    // The password reaches the server; the notes never hold it.
    EXPECT_EQ(server.Received(),
              (std::vector<std::string>{
                  "A1 LOGIN sam secret", "A2 SELECT INBOX", "A3 UID FETCH 1:* (UID RFC822.SIZE)",
                  "A4 UID FETCH 4,9 (UID BODY.PEEK[HEADER])", "A5 LIST \"\" \"*\""}));
    EXPECT_TRUE(notes.empty());
}

TEST_F(ImapSessionTest, AnOversizedLiteralIsRefusedWithoutBeingRead) {
    ScriptSelect(server, "UIDPLUS", {4});
    server.ReadLine().Send("* 1 FETCH (UID 4 BODY[HEADER] {999999999999}\r\n").ReadUntilClosed();
    const auto session = Session();
    QElapsedTimer took;
    took.start();
    EXPECT_THROW(session->List(), ESocketError);
    EXPECT_LT(took.elapsed(), 10000);
    EXPECT_FALSE(session->Connected());
    ASSERT_FALSE(notes.empty());
    EXPECT_NE(notes.back().find("999999999999 bytes"), std::string::npos) << notes.back();
}

TEST_F(ImapSessionTest, ABlockOverTheHeaderLimitLeavesTheMessageUnjudgedAndTheListingInStep) {
    ScriptSelect(server, "UIDPLUS", {4, 5});
    const std::string huge = "X-Big: " + std::string(1024 * 1024, 'a') + "\r\n\r\n";
    server.ReadLine().Send(HeaderFetch(1, 4, huge) + HeaderFetch(2, 5, "Subject: ok\r\n\r\n") +
                           "A4 OK done\r\n");
    server.ReadLine().Send("A5 OK\r\n");
    const auto session = Session();
    session->List();
    EXPECT_EQ(ListingOf(session->Listing()),
              (std::vector<std::string>{"100 [7.4] (not kept)", "100 [7.5] | Subject: ok"}));
    EXPECT_EQ(notes,
              std::vector<std::string>{
                  "Header block of message 1 is too large to keep; the message is not judged"});
}

TEST_F(ImapSessionTest, ByeInTheMiddleOfAFetchEndsTheListingWithTheServersWords) {
    ScriptSelect(server, "UIDPLUS", {4, 5});
    server.ReadLine()
        .Send(HeaderFetch(1, 4, "Subject: one\r\n\r\n") + "* OK [ALERT] Down at 9\r\n" +
              "* BYE going down for maintenance\r\n")
        .Close();
    const auto session = Session();
    EXPECT_THROW(session->List(), ESocketError);
    EXPECT_EQ(notes, (std::vector<std::string>{
                         "The IMAP server says: Down at 9",
                         "The server closed the connection: going down for maintenance"}));
    EXPECT_FALSE(session->Connected());
}

TEST_F(ImapSessionTest, WithoutMoveOrUidplusTheMessageIsCopiedAndFlaggedButNeverExpunged) {
    ScriptSelect(server, "", {4, 5});
    server.ReadLine().Send(HeaderFetch(1, 4, "Subject: spam\r\n\r\n") +
                           HeaderFetch(2, 5, "Subject: ham\r\n\r\n") + "A4 OK done\r\n");
    // The folder list comes along with the header blocks; a junk folder of its own name.
    server.ReadLine().Send(
        "* LIST (\\HasNoChildren) \"/\" INBOX\r\n"
        "* LIST (\\HasNoChildren \\Junk) \"/\" \"Spam mail\"\r\nA5 OK\r\n");
    server.ReadLine().Send("A6 OK copied\r\n").ReadLine().Send("A7 OK flagged\r\n");
    server.ReadLine().ReadUntilClosed();
    const auto session = Session();
    session->List();
    session->MarkForDelete(0);
    session->CarryOutMarks({});
    ASSERT_TRUE(server.WaitFinished());
    const std::vector<std::string> acted(server.Received().begin() + 5, server.Received().end());
    EXPECT_EQ(acted,
              (std::vector<std::string>{"A6 UID COPY 4 \"Spam mail\"",
                                        "A7 UID STORE 4 +FLAGS.SILENT (\\Deleted)", "A8 LOGOUT"}));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("the server removes them when it next expunges"), std::string::npos);
}

TEST_F(ImapSessionTest, AMessageGoneOrAChangedUidValidityIsNeverActedOn) {
    ScriptSelect(server, "UIDPLUS MOVE", {4, 5});
    server.ReadLine().Send(HeaderFetch(1, 4, "Subject: a\r\n\r\n") +
                           HeaderFetch(2, 5, "Subject: b\r\n\r\n") + "A4 OK done\r\n");
    server.ReadLine().Send("* LIST (\\Junk) \"/\" Junk\r\nA5 OK\r\n");
    // UID 4 went meanwhile: the server moves only 5 and says so.
    server.ReadLine().Send("* OK [COPYUID 9 5 1]\r\n* 2 EXPUNGE\r\nA6 OK moved\r\n");
    server.ReadLine();
    const auto session = Session();
    session->List();
    session->MarkForDelete(0);
    session->MarkForDelete(1);
    session->CarryOutMarks({});
    EXPECT_EQ(server.Received().back(), "A6 UID MOVE 4:5 Junk");
    EXPECT_EQ(notes, std::vector<std::string>{"Message 1 is no longer in INBOX; it is left alone"});

    // Another session finds the folder under a new UIDVALIDITY: UID 5 may be another message.
    ScriptedServer next;
    ScriptSelect(next, "MOVE", {}, 8);
    next.ReadUntilClosed();
    account.POPAddress = next.Address();
    const auto later = Session();
    EXPECT_THROW(later->Verify(1, session->Listing()[1]), ESocketError);
    later->Cancel();
    ASSERT_TRUE(next.WaitFinished());
    EXPECT_EQ(notes.back(), "IDs are different");
    EXPECT_EQ(next.Received().size(), 2u);
}

TEST_F(ImapSessionTest, LoginDisabledKeepsThePasswordFromAPlainConnection) {
    server.Send("* OK [CAPABILITY IMAP4rev1 LOGINDISABLED AUTH=PLAIN] ready\r\n").ReadUntilClosed();
    const auto session = Session();
    EXPECT_THROW(session->Connect(), ESocketError);
    ASSERT_TRUE(server.WaitFinished());
    EXPECT_TRUE(server.Received().empty());

    // Without a named NONE no password goes out in clear either.
    ScriptedServer second;
    second.Send("* OK [CAPABILITY IMAP4rev1] ready\r\n").ReadUntilClosed();
    account.POPAddress = second.Address();
    account.POPSecurityExplicit = false;
    EXPECT_THROW(Session()->Connect(), ESocketError);
    ASSERT_TRUE(second.WaitFinished());
    EXPECT_TRUE(second.Received().empty());
    EXPECT_NE(notes.back().find("POPSecurity=NONE"), std::string::npos);
}

}  // namespace
}  // namespace sievo
