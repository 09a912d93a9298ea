#include <QDir>
#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "cutting_proxy.h"
#include "file_size_limit.h"
#include "scan_fixture.h"
#include "trash_copies.h"
#include "wait_until.h"

namespace sievo {
namespace {

using testing::AddRule;
using testing::Mail;
using testing::RecordingSender;

class ScanFaultsTest : public testing::ScanTest {
protected:
    // The errors logged since the last scan began (or since `since` began), in order.
    std::vector<std::string> Errors(const testing::LogWatch* since = nullptr) const {
        std::vector<std::string> errors;
        for (const auto& text : (since ? since : watch.get())->Texts())
            if (text.starts_with("-SV_ERROR-"))
                errors.push_back(text);
        return errors;
    }
    bool Recorded(const std::string& action) const {
        return ReadFile("handled.lst").find("\t" + action + "\r\n") != std::string::npos;
    }
};

TEST_F(ScanFaultsTest, AReplyGoesOutAtMostOnceWhateverTheSendMeets) {
    const struct {
        RecordingSender::Failure failure;
        int attempts;  // in two checks of a message that stays on the server
        std::size_t errors;
    } cases[] = {{RecordingSender::kNone, 1, 0},
                 {RecordingSender::kAfterData, 1, 1},  // perhaps delivered: never again
                 {RecordingSender::kBeforeData, 2, 2}};
    for (const auto& row : cases) {
        std::remove(PathOf("handled.lst").c_str());
        std::remove(rule_store::Path().c_str());
        StartMailbox({Mail(1, "a@x.test", "win")});
        AddRule({"SUBCONT", "win", false, false, true, "Go away"});
        smtp->failure = row.failure;
        smtp->attempts = 0;
        bool recordedFirst = true;  // a kill during the send must not let it happen again
        smtp->onSend = [&] { recordedFirst = recordedFirst && Recorded("reply 1"); };
        const testing::LogWatch bothScans;
        Scan();
        Scan();
        EXPECT_EQ(smtp->attempts, row.attempts) << row.failure;
        EXPECT_TRUE(recordedFirst) << row.failure;
        EXPECT_EQ(Errors(&bothScans).size(), row.errors) << row.failure;
    }
}

TEST_F(ScanFaultsTest, AReplyThatCannotBeComposedIsAnErrorAndTheMessageStillGoes) {
    StartMailbox({Mail(1, "a@x.test", "win")});
    AddRule({"SUBCONT", "win", true, false, true, "Missing"});
    Scan();
    EXPECT_EQ(Errors(), std::vector<std::string>{"-SV_ERROR-Cannot open file \"" +
                                                 PathOf("Missing.msg") + "\""});
    EXPECT_TRUE(watch->Holds("sam - END Scanning mailbox, 1 total SPAM messages sieved"));
    EXPECT_TRUE(Stored().empty());
}

TEST_F(ScanFaultsTest, CopiesWaitingForTheTrashAreNeverReplaced) {
    const std::string first = Mail(1, "a@x.test", "win 1"), second = Mail(2, "b@x.test", "win 2");
    StartMailbox({first});
    AddRule({"SUBCONT", "win", true, false, true});
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(PathOf("xdg"))));
    WriteFile("xdg/Trash", "a file where the Trash folder should be");
    Scan();
    EXPECT_FALSE(Errors().empty());
    EXPECT_TRUE(Stored().empty());
    EXPECT_EQ(ReadFile("temp/msg_0.eml"), first);

    dovecot->Deliver(second);
    Scan();  // the Trash is still broken: the new copy takes another name
    EXPECT_TRUE(Stored().empty());
    EXPECT_EQ(ReadFile("temp/msg_0.eml"), first);
    EXPECT_EQ(ReadFile("temp/msg_0-2.eml"), second);

    std::remove(PathOf("xdg/Trash").c_str());
    Scan();  // copies left over go to the Trash first
    EXPECT_TRUE(Errors().empty());
    EXPECT_EQ(TrashFile("msg_0.eml"), first);
    EXPECT_EQ(TrashFile("msg_0-2.eml"), second);
    EXPECT_TRUE(QDir(QString::fromStdString(PathOf("temp"))).isEmpty());
}

TEST_F(ScanFaultsTest, AFullDiskIsToldOnceAndTheScanStillEnds) {
    const auto mails = StartMailbox({Mail(1, "a@x.test", "win 1"), Mail(2, "b@x.test", "win 2"),
                                     Mail(3, "c@x.test", "copy me")});
    AddRule({"SUBCONT", "win", true});
    AddRule({"SUBCONT", "copy", true, false, true, "Go away"});
    Account("NextDateTime", "");
    {
        const testing::FileSizeLimit fullDisk(0);
        Scan(PassMode::kScheduled);
    }
    EXPECT_FALSE(engine->ScanRunning());
    EXPECT_TRUE(engine->ScheduleRunning());
    // The message whose copy could not be written stays on the server.
    EXPECT_TRUE(watch->Holds("sam - END Scanning mailbox, 2 total SPAM messages sieved"));
    EXPECT_EQ(Stored(), std::vector<std::string>{mails[2]});
    EXPECT_EQ(smtp->attempts, 0);
    const auto errors = Errors();
    EXPECT_EQ(std::set<std::string>(errors.begin(), errors.end()).size(), errors.size());
    for (const std::string& expected :
         {"-SV_ERROR-Unable to write to " + rule_store::Path(),
          "-SV_ERROR-Unable to write to " + PathOf("handled.lst"),
          "-SV_ERROR-Cannot create file \"" + PathOf("temp/msg_2.eml") + "\"",
          "-SV_ERROR-Unable to write to " + AccountsPath()})
        EXPECT_EQ(std::count(errors.begin(), errors.end(), expected), 1) << expected;
    EXPECT_EQ(AccountValue("NextDateTime"), "");
}

// A check that ends between a message's copy and the server's answer to QUIT leaves the
// copy behind; the next pass sends it to the Trash and must not copy the message again,
// whether the server still holds it or QUIT already removed it, even when the record of
// the copy was never written (as when the program is killed right after the copy), and
// when the check of another account sends the copy to the Trash first.
TEST_F(ScanFaultsTest, AMessageGetsOneTrashCopyWhereverTheConnectionIsLost) {
    const std::vector<std::string> mails = {Mail(1, "a@x.test", "keep"),
                                            Mail(2, "b@x.test", "win")};
    const struct {
        const char* cutAt;
        bool recordWritable;
        bool deletedByQuit;
        bool otherAccountFirst;
    } cases[] = {{"DELE", true, false, false},
                 {"QUIT", true, true, false},
                 {"DELE", false, false, false},
                 {"DELE", true, false, true}};
    for (const auto& row : cases) {
        SCOPED_TRACE(std::string(row.cutAt) + (row.recordWritable ? "" : ", no record") +
                     (row.otherAccountFirst ? ", another account first" : ""));
        for (const std::string& path : {PathOf("handled.lst"), PathOf("xdg"), rule_store::Path()})
            std::filesystem::remove_all(path);
        StartMailbox(mails);
        sessions = 0;
        AddRule({"SUBCONT", "keep", false, false, true});
        AddRule({"SUBCONT", "win", true, false, true});
        const std::string server = dovecot->PlainAddress();
        testing::CuttingProxy proxy(quint16(std::stoi(server.substr(server.rfind(':') + 1))),
                                    row.cutAt);
        // The other account's mailbox is empty: its check only finds the copies left.
        std::unique_ptr<testing::DovecotServer> otherServer;
        int cutAccount = 1;
        if (row.otherAccountFirst) {
            otherServer = std::make_unique<testing::DovecotServer>(
                testing::DovecotServer::Options{{}, "", ""});
            ASSERT_TRUE(otherServer->Started()) << otherServer->Error();
            Account("POPAddress", otherServer->PlainAddress());
            cutAccount = testing::AppendMailboxAccount(proxy.Address());
        } else {
            Account("POPAddress", proxy.Address());
        }
        if (!row.recordWritable) {
            ASSERT_TRUE(QDir().mkpath(QString::fromStdString(PathOf("handled.lst"))));
        }
        TSievoUser account = accounts::ForCheck(cutAccount);
        EXPECT_ANY_THROW(engine->ScanMailbox(PassMode::kUserStarted, account));
        ASSERT_TRUE(proxy.Cut());
        // The server carries out a QUIT in its own time, after the client was dropped.
        const auto onServer = row.deletedByQuit ? std::vector<std::string>{mails[0]} : mails;
        EXPECT_TRUE(dovecot->WaitForSessionsEnded(sessions += 1));
        EXPECT_TRUE(
            testing::WaitUntil([&] { return dovecot->StoredMessages() == onServer; }, 10000));
        if (!row.recordWritable) {
            std::filesystem::remove(PathOf("handled.lst"));
            // and a copy that a kill cut short while it was written
            WriteFile("temp/msg_1.eml.Xq3vZ9", mails[1].substr(0, mails[1].find("\r\n\r\n")));
        }

        engine->C3Click();
        EXPECT_EQ(engine->LastPassErrors(), 0);
        EXPECT_EQ(Stored(), std::vector<std::string>{mails[0]});
        EXPECT_EQ(testing::TrashCopiesByMessageId(TrashFolder()),
                  (std::map<std::string, int>{{"<1@scan.test>", 1}, {"<2@scan.test>", 1}}));
        EXPECT_TRUE(QDir(QString::fromStdString(PathOf("temp"))).isEmpty());
    }
}

}  // namespace
}  // namespace sievo
