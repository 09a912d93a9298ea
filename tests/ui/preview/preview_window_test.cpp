#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <optional>

#include "config/activity_log.h"
#include "config/ini_file.h"
#include "dovecot_server.h"
#include "log_lines.h"
#include "modal_action.h"
#include "modal_answerer.h"
#include "scripted_server.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

// The program with one account, its mail waiting on a server, and the preview over it.
class PreviewTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        WriteSetting("Main", "OpenedBefore", "1");
        Main().CreateStatusWindow();
    }

    void UseServer(const std::string& address) const {
        TIniFile(PathOf("accounts.ini")).WriteInteger("ENTRYCOUNT", "NumEntries", 1);
        WriteAccount(1, {{"POPAddress", address},
                         {"POPUser", DovecotServer::kUserName},
                         {"ClearPassword", DovecotServer::kPassword},
                         {"EMailAddr", "sam@home.test"},
                         {"MailNotify", "0"}});
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
    const char* count;
    const char* status;
};

class PreviewListingTest : public PreviewTest, public ::testing::WithParamInterface<ListingCase> {};

TEST_P(PreviewListingTest, ListsNewestFirstWithCountAndStatus) {
    const ListingCase& row = GetParam();
    const DovecotServer server({DovecotServer::GeneratedMessages(row.messages), "", ""});
    ASSERT_TRUE(server.Started()) << server.Error();
    UseServer(server.PlainAddress());
    Main().Menu().preview->trigger();

    ASSERT_TRUE(Prev().isVisible());
    QStringList subjects;
    QStringList senders;
    for (int n = row.messages; n > 0; --n) {
        subjects << QString("Message %1").arg(n);
        senders << QString("sender%1@example.org").arg(n);
    }
    EXPECT_EQ(Column(PreviewListModel::kSubject), subjects);
    EXPECT_EQ(Column(PreviewListModel::kFrom), senders);
    EXPECT_EQ(Text("lblNum"), row.count);
    EXPECT_EQ(Text("lblStatus"), row.status);
    EXPECT_EQ(Prev().PopupEnabled(), row.messages > 0);
    EXPECT_FALSE(Child<QProgressBar>("prgHeaders")->isVisible());
    EXPECT_FALSE(Child<QPushButton>("btnCancel")->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Mailboxes, PreviewListingTest,
    ::testing::Values(ListingCase{3, "3 of 3 messages",
                                  "sam@home.test has 3 new mail messages -- click to view"},
                      ListingCase{0, "", "sam@home.test has no mail waiting"}));

// The Delete key and the menu item ask the same question, about the ticked rows whatever
// row is highlighted; No deletes nothing.
TEST_F(PreviewTest, DeleteAsksFirstThenDeletesExactlyTheTickedMessages) {
    const DovecotServer server({DovecotServer::GeneratedMessages(3), "", ""});
    ASSERT_TRUE(server.Started()) << server.Error();
    UseServer(server.PlainAddress());
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

// The numbers move up when another client deletes a message; the one now under the ticked
// number is not the one the user ticked.
TEST_F(PreviewTest, MessageDeletedMeanwhileIsNeitherViewedNorDeletedInItsPlace) {
    const DovecotServer server({DovecotServer::GeneratedMessages(3), "", ""});
    ASSERT_TRUE(server.Started()) << server.Error();
    UseServer(server.PlainAddress());
    Main().Menu().preview->trigger();
    Tick(1);  // Message 2
    TmsRemotePOP other;
    other.Server = server.PlainAddress();
    other.UserName = DovecotServer::kUserName;
    other.Password = DovecotServer::kPassword;
    other.ConnectAndLogin();
    other.DeleteMessage(0);
    other.LogoutAndClose();
    const std::uint16_t errorsBefore = TheActivityLog().ErrorCount();
    Select(1);
    Run("mnuView");
    EXPECT_FALSE(Main().MessageView().isVisible()) << "Message 3 shown as Message 2";
    EXPECT_EQ(TheActivityLog().ErrorCount(), errorsBefore + 1);
    ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgQuestion", "Yes"}, {"dlgQuestion", "Yes"}});
    Run("mnuDelete");

    EXPECT_EQ(server.StoredMessages(),
              (std::vector<std::string>{DovecotServer::GeneratedMessage(2),
                                        DovecotServer::GeneratedMessage(3)}));
    EXPECT_EQ(TheActivityLog().ErrorCount(), errorsBefore + 2);
    EXPECT_EQ(Column(PreviewListModel::kSubject), (QStringList{"Message 3", "Message 2"}));
    // A second try works on the fresh list.
    Tick(1);
    Run("mnuDelete");
    EXPECT_TRUE(answerer.AllAnswered());
    EXPECT_EQ(server.StoredMessages(),
              std::vector<std::string>{DovecotServer::GeneratedMessage(3)});
}

struct FailureCase {
    const char* name;
    int listedBeforeFailure;
};

class PreviewFailureTest : public PreviewTest, public ::testing::WithParamInterface<FailureCase> {};

// A failed download is told once and leaves the window usable: Start to try again, and the
// menu for whatever arrived.
TEST_P(PreviewFailureTest, FailedDownloadIsReportedOnceAndLeavesStart) {
    const int listed = GetParam().listedBeforeFailure;
    ScriptedServer server;
    server.Send("+OK ready\r\n").ReadLine().Send("+OK\r\n").ReadLine();
    if (listed == 0) {
        server.Send("-ERR [AUTH] wrong password\r\n");
    } else {
        server.Send("+OK\r\n").ReadLine().Send("+OK 3 300\r\n");
        for (int refused = 0; refused < 3; ++refused)  // CAPA, UIDL, LIST
            server.ReadLine().Send("-ERR what?\r\n");
        for (int n = 1; n <= listed; ++n) {
            server.ReadLine().Send("+OK " + std::to_string(n) + " 100\r\n");
            server.ReadLine().Send("+OK\r\nSubject: " + std::to_string(n) + "\r\n\r\n.\r\n");
        }
        server.ReadLine();
    }
    server.Close();
    UseServer(server.Address());
    const std::uint16_t errorsBefore = TheActivityLog().ErrorCount();
    Main().Menu().preview->trigger();

    EXPECT_EQ(TheActivityLog().ErrorCount(), errorsBefore + 1);
    EXPECT_EQ(Prev().List().rowCount(), listed);
    EXPECT_EQ(Prev().PopupEnabled(), listed > 0);
    EXPECT_FALSE(Child<QProgressBar>("prgHeaders")->isVisible());
    EXPECT_TRUE(Child<QPushButton>("btnCancel")->isVisible());
    EXPECT_EQ(Child<QPushButton>("btnCancel")->text(), "Start");
    EXPECT_FALSE(Main().POPPrev.Connected());
}

INSTANTIATE_TEST_SUITE_P(Failures, PreviewFailureTest,
                         ::testing::Values(FailureCase{"RefusedLogIn", 0},
                                           FailureCase{"CutMidListing", 2}),
                         [](const auto& info) { return info.param.name; });

TEST_F(PreviewTest, CancelStopsTheDownloadWithoutAnError) {
    ScriptedServer server;
    server.Send("+OK ready\r\n").ReadLine().Send("+OK\r\n").ReadLine().Send("+OK\r\n");
    server.ReadLine().Hold();  // STAT is never answered
    UseServer(server.Address());
    const std::uint16_t errorsBefore = TheActivityLog().ErrorCount();
    QTimer::singleShot(200, [this] { Child<QPushButton>("btnCancel")->click(); });
    Main().Menu().preview->trigger();

    EXPECT_EQ(Text("lblStatus"), "Message Preview Canceled");
    EXPECT_EQ(TheActivityLog().ErrorCount(), errorsBefore);
    EXPECT_FALSE(Child<QProgressBar>("prgHeaders")->isVisible());
    EXPECT_EQ(Child<QPushButton>("btnCancel")->text(), "Start");
    EXPECT_FALSE(Main().POPPrev.Connected());
}

// The window closed and opened again for another account while the first still lists: the
// first stops, quietly, and the account asked for is listed.
TEST_F(PreviewTest, ANewRequestReplacesTheRunningDownload) {
    ScriptedServer first;
    first.Send("+OK ready\r\n").ReadLine().Send("+OK\r\n").ReadLine().Send("+OK\r\n");
    first.ReadLine().Hold();  // STAT is never answered
    const DovecotServer second({DovecotServer::GeneratedMessages(2), "", ""});
    ASSERT_TRUE(second.Started()) << second.Error();
    UseServer(first.Address());
    WriteAccount(2, {{"POPAddress", second.PlainAddress()},
                     {"POPUser", DovecotServer::kUserName},
                     {"ClearPassword", DovecotServer::kPassword},
                     {"EMailAddr", "ann@work.test"}});
    TIniFile(PathOf("accounts.ini")).WriteInteger("ENTRYCOUNT", "NumEntries", 2);
    auto choose = [](int row) {
        return [row](QWidget& dialog) {
            auto* list = dialog.findChild<QTreeWidget*>("lstVAccounts");
            list->setCurrentItem(list->topLevelItem(row));
            dialog.findChild<QPushButton*>("btnOK")->click();
        };
    };
    const ModalAction chooseFirst("frmSelectAccount", choose(0));
    std::optional<ModalAction> chooseSecond;
    QTimer reopen;  // once the first listing waits for its STAT reply
    QObject::connect(&reopen, &QTimer::timeout, [&] {
        if (first.Received().size() < 3)
            return;
        reopen.stop();
        Prev().hide();
        chooseSecond.emplace("frmSelectAccount", choose(1));
        Main().Menu().preview->trigger();
    });
    reopen.start(20);
    // Without the replacement the first listing would wait out its time-out.
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout,
                     [this] { Child<QPushButton>("btnCancel")->click(); });
    giveUp.start(10000);
    const std::uint16_t errorsBefore = TheActivityLog().ErrorCount();
    Main().Menu().preview->trigger();
    giveUp.stop();

    ASSERT_TRUE(chooseSecond && chooseSecond->Done());
    EXPECT_TRUE(Prev().isVisible());
    EXPECT_EQ(Column(PreviewListModel::kSubject), (QStringList{"Message 2", "Message 1"}));
    EXPECT_EQ(Text("lblStatus"), "ann@work.test has 2 new mail messages -- click to view");
    EXPECT_EQ(TheActivityLog().ErrorCount(), errorsBefore);
    EXPECT_FALSE(Child<QPushButton>("btnCancel")->isVisible());
    EXPECT_FALSE(Main().POPPrev.Connected());
}

TEST_F(PreviewTest, QuickAddOpensTheWizardWithTheBareAddress) {
    const DovecotServer server({DovecotServer::GeneratedMessages(3), "", ""});
    ASSERT_TRUE(server.Started()) << server.Error();
    UseServer(server.PlainAddress());
    Main().Menu().preview->trigger();
    Select(1);
    QString address;
    const testing::ModalAction cancel([&address](QWidget& wizard) {
        EXPECT_EQ(wizard.objectName(), "frmRuleWizard");
        address = wizard.findChild<QLineEdit*>("edtFrom")->text();
        static_cast<QDialog&>(wizard).reject();
    });
    Run("mnuQuickAdd");
    EXPECT_TRUE(cancel.Done());
    EXPECT_EQ(address, "sender2@example.org");
}

TEST_F(PreviewTest, ViewShowsAMultipartLatin1MessageInUtf8) {
    const std::string message =
        "From: Ann Example <ann@example.org>\r\n"
        "To: Sam <sam@example.org>, other@example.org\r\n"
        "Subject: =?ISO-8859-1?Q?Men=FC?=\r\n"
        "MIME-Version: 1.0\r\n"
        "Content-Type: multipart/mixed; boundary=\"part\"\r\n"
        "\r\n"
        "--part\r\n"
        "Content-Type: text/plain; charset=ISO-8859-1\r\n"
        "Content-Transfer-Encoding: quoted-printable\r\n"
        "\r\n"
        "Caf=E9 cr=E8me, =FCberall.\r\n"
        "--part\r\n"
        "Content-Type: application/octet-stream; name=\"a.bin\"\r\n"
        "Content-Transfer-Encoding: base64\r\n"
        "\r\n"
        "AAEC\r\n"
        "--part--\r\n";
    const DovecotServer server({{DovecotServer::GeneratedMessage(1), message}, "", ""});
    ASSERT_TRUE(server.Started()) << server.Error();
    UseServer(server.PlainAddress());
    Main().Menu().preview->trigger();
    Select(0);
    Run("mnuView");

    TfrmMessageView& viewer = Main().MessageView();
    ASSERT_TRUE(viewer.isVisible());
    EXPECT_EQ(viewer.findChild<QLabel*>("lblFrom")->text(), "FROM: Ann Example -- ann@example.org");
    EXPECT_EQ(viewer.findChild<QLabel*>("lblTo")->text(), "TO: sam@example.org");
    EXPECT_EQ(viewer.findChild<QLabel*>("lblSubject")->text(), QString("\tSUBJECT: Men\u00fc"));
    EXPECT_EQ(viewer.findChild<QPlainTextEdit*>("memBody")->toPlainText(),
              QString("Caf\u00e9 cr\u00e8me, \u00fcberall."));
    EXPECT_EQ(Text("lblStatus"), "");
    EXPECT_EQ(server.StoredMessages().size(), 2u);
}

}  // namespace
}  // namespace sievo::testing
