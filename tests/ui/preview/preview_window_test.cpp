#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "../engine/mailbox_account.h"
#include "../engine/pop3_script.h"
#include "config/activity_log.h"
#include "dovecot_server.h"
#include "log_lines.h"
#include "modal_action.h"
#include "modal_answerer.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

// The program with one account, its mail waiting on a server, and the preview over it.
class PreviewTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Main().CreateStatusWindow();
    }

    TfrmPrev& Prev() { return Main().Preview(); }
    template <typename Widget>
    Widget* Child(const char* name) {
        auto* child = Prev().findChild<Widget*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QString Text(const char* label) { return Child<QLabel>(label)->text(); }
    QStringList Column(int column) {
        QStringList texts;
        for (int row = 0; row < Prev().List().rowCount(); ++row)
            texts << Prev().List().index(row, column).data().toString();
        return texts;
    }
    void Tick(int row) {
        Prev().List().setData(Prev().List().index(row, PreviewListModel::kSubject), Qt::Checked,
                              Qt::CheckStateRole);
    }
    void Select(int row) {
        Child<QTreeView>("lstVRem")->setCurrentIndex(Prev().List().index(row, 0));
    }
    void Run(const char* command) { Child<QAction>(command)->trigger(); }
};

struct ListingCase {
    int messages;
    int answered;  // before the connection is cut
    const char* count;
    const char* status;
};

class PreviewListingTest : public PreviewTest, public ::testing::WithParamInterface<ListingCase> {};

// Rows arrive newest first; a download cut short keeps what arrived and leaves Start to try
// again.
TEST_P(PreviewListingTest, ListsNewestFirstWithCountAndStatus) {
    const ListingCase& row = GetParam();
    ScriptedServer server;
    ScriptListing(server, row.messages, row.answered);
    AppendMailboxAccount(server.Address());
    Main().Menu().preview->trigger();

    ASSERT_TRUE(Prev().isVisible());
    QStringList subjects;
    QStringList senders;
    for (int n = row.answered; n > 0; --n) {
        subjects << QString("Message %1").arg(n);
        senders << QString("sender%1@example.org").arg(n);
    }
    EXPECT_EQ(Column(PreviewListModel::kSubject), subjects);
    EXPECT_EQ(Column(PreviewListModel::kFrom), senders);
    EXPECT_EQ(Text("lblNum"), row.count);
    EXPECT_EQ(Text("lblStatus"), row.status);
    EXPECT_EQ(Prev().PopupEnabled(), row.answered > 0);
    EXPECT_FALSE(Child<QProgressBar>("prgHeaders")->isVisible());
    EXPECT_EQ(Child<QPushButton>("btnCancel")->isVisible(), row.answered < row.messages);
    EXPECT_EQ(Child<QPushButton>("btnCancel")->text(), "Start");
}

INSTANTIATE_TEST_SUITE_P(
    Mailboxes, PreviewListingTest,
    ::testing::Values(ListingCase{3, 3, "3 of 3 messages",
                                  "sam@home.test has 3 new mail messages -- click to view"},
                      ListingCase{0, 0, "", "sam@home.test has no mail waiting"},
                      ListingCase{3, 1, "1 of 3 messages", "The server closed the connection"}));

// The Delete key and the menu item ask the same question, about the ticked rows whatever
// row is highlighted; No deletes nothing.
TEST_F(PreviewTest, DeleteAsksFirstThenDeletesExactlyTheTickedMessages) {
    const DovecotServer server({DovecotServer::GeneratedMessages(3), "", ""});
    ASSERT_TRUE(server.Started()) << server.Error();
    AppendMailboxAccount(server.PlainAddress());
    Main().Menu().preview->trigger();
    Tick(0);
    Tick(2);
    Select(1);
    const LogWatch log;
    ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgQuestion", "No"}, {"dlgQuestion", "Yes"}});
    QTest::keyClick(Child<QTreeView>("lstVRem"), Qt::Key_Delete);
    EXPECT_EQ(server.StoredMessages().size(), 3u);
    Run("mnuDelete");

    ASSERT_TRUE(answerer.AllAnswered());
    const std::string question =
        "dlgQuestion: Delete the 2 ticked messages from the server of sam@home.test?  This "
        "cannot be undone.";
    EXPECT_EQ(answerer.seen, (std::vector<std::string>{question, question}));
    EXPECT_TRUE(log.Holds("sam - Manually Deleting 1 messages."));
    EXPECT_TRUE(log.Holds("sam - Manually Deleting 2 messages."));
    EXPECT_EQ(server.StoredMessages(),
              std::vector<std::string>{DovecotServer::GeneratedMessage(2)});
    EXPECT_EQ(Column(PreviewListModel::kSubject), QStringList{"Message 2"});
}

// Over IMAP: newest first, nothing marked read by the listing or a view, and Delete moves
// the ticked message to the spam folder.
TEST_F(PreviewTest, ImapListsNewestFirstViewsUnreadAndMovesToJunk) {
    DovecotServer::Options options{DovecotServer::GeneratedMessages(3), "", ""};
    options.imap = true;
    const DovecotServer server(options);
    ASSERT_TRUE(server.Started()) << server.Error();
    AppendMailboxAccount(server.ImapAddress());
    WriteAccount(1, {{"Protocol", "IMAP"}, {"POPSecurity", "NONE"}});
    Main().Menu().preview->trigger();
    EXPECT_EQ(Column(PreviewListModel::kSubject),
              (QStringList{"Message 3", "Message 2", "Message 1"}));
    Select(0);
    Run("mnuView");
    ASSERT_TRUE(Main().MessageView().isVisible());
    Tick(1);
    ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgQuestion", "Yes"}});
    Run("mnuDelete");

    ASSERT_TRUE(answerer.AllAnswered());
    EXPECT_EQ(answerer.seen[0],
              "dlgQuestion: Move the ticked message of sam@home.test to its spam folder?");
    const auto messages = DovecotServer::GeneratedMessages(3);
    EXPECT_EQ(server.StoredMessages(), (std::vector<std::string>{messages[0], messages[2]}));
    EXPECT_EQ(server.StoredMessages("Junk"), std::vector<std::string>{messages[1]});
    EXPECT_EQ(server.StoredFlags(), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Column(PreviewListModel::kSubject), (QStringList{"Message 3", "Message 1"}));
}

TEST_F(PreviewTest, CancelStopsTheDownloadWithoutAnError) {
    ScriptedServer server;
    server.Send("+OK ready\r\n").ReadLine().Send("+OK\r\n").ReadLine().Send("+OK\r\n");
    server.ReadLine().Hold();  // STAT is never answered
    AppendMailboxAccount(server.Address());
    const std::uint16_t errorsBefore = TheActivityLog().ErrorCount();
    QTimer::singleShot(200, [this] { Child<QPushButton>("btnCancel")->click(); });
    Main().Menu().preview->trigger();

    EXPECT_EQ(Text("lblStatus"), "Message Preview Canceled");
    EXPECT_EQ(TheActivityLog().ErrorCount(), errorsBefore);
    EXPECT_FALSE(Child<QProgressBar>("prgHeaders")->isVisible());
    EXPECT_EQ(Child<QPushButton>("btnCancel")->text(), "Start");
}

TEST_F(PreviewTest, ViewShowsTheChosenMessageAndQuickAddTakesItsBareAddress) {
    const std::string message =
        "From: Ann Example <ann@example.org>\r\n"
        "To: Sam <sam@example.org>, other@example.org\r\n"
        "Subject: =?ISO-8859-1?Q?Men=FC?=\r\n"
        "\r\n"
        "Caf\xC3\xA9 cr\xC3\xA8me.\r\n";
    const DovecotServer server({{DovecotServer::GeneratedMessage(1), message}, "", ""});
    ASSERT_TRUE(server.Started()) << server.Error();
    AppendMailboxAccount(server.PlainAddress());
    Main().Menu().preview->trigger();
    Select(0);
    Run("mnuView");

    TfrmMessageView& viewer = Main().MessageView();
    ASSERT_TRUE(viewer.isVisible());
    EXPECT_EQ(viewer.findChild<QLabel*>("lblFrom")->text(), "FROM: Ann Example -- ann@example.org");
    EXPECT_EQ(viewer.findChild<QLabel*>("lblTo")->text(), "TO: sam@example.org");
    EXPECT_EQ(viewer.findChild<QLabel*>("lblSubject")->text(), QString("\tSUBJECT: Men\u00fc"));
    EXPECT_EQ(viewer.findChild<QPlainTextEdit*>("memBody")->toPlainText(),
              QString("Caf\u00e9 cr\u00e8me."));
    EXPECT_EQ(Text("lblStatus"), "");
    EXPECT_EQ(server.StoredMessages().size(), 2u);

    QString address;
    const ModalAction cancel("frmRuleWizard", [&address](QWidget& wizard) {
        address = wizard.findChild<QLineEdit*>("edtFrom")->text();
        static_cast<QDialog&>(wizard).reject();
    });
    Run("mnuQuickAdd");
    EXPECT_TRUE(cancel.Done());
    EXPECT_EQ(address, "ann@example.org");  // the bare address
}

}  // namespace
}  // namespace sievo::testing
