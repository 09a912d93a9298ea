#include <QLineEdit>
#include <QPushButton>
#include <optional>

#include "config/account.h"
#include "config/activity_log.h"
#include "log_lines.h"
#include "mail/mail_address.h"
#include "modal_action.h"
#include "modal_answerer.h"
#include "smtp_sink.h"
#include "ui/messages/mail_address_dialog.h"
#include "ui/messages/tell_friend_dialog.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

constexpr const char* kThanks = "dlgMessage: Thank you for you support!";

class TellFriendTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Main().CreateStatusWindow();  // the activity log comes to life with it
        WriteFile("tell.eml", "Subject: Try Sievomatic\r\n\r\nIt sieves spam.\r\n");
    }

    // Runs the command: types the address and presses the button in the dialog, then
    // answers the message boxes that follow; the boxes seen, in order.
    std::vector<std::string> Tell(const char* button, const QString& address, int boxes) {
        // The answerer starts once the dialog is dealt with, so it never sees the dialog.
        std::optional<ModalAnswerer> answerer;
        ModalAction fill("frmTellFriend", [&](QWidget& dialog) {
            dialog.findChild<QLineEdit*>("edtAddress")->setText(address);
            answerer.emplace(ModalAnswerer::Answers(boxes, {"dlgMessage", "OK"}));
            dialog.findChild<QPushButton*>(button)->click();
        });
        Main().Menu().tellAFriend->trigger();
        EXPECT_TRUE(fill.Done());
        return answerer ? answerer->seen : std::vector<std::string>{};
    }
};

TEST_F(TellFriendTest, SendsThroughTheFirstAccountsServer) {
    SmtpSink sink;
    ASSERT_TRUE(sink.Started()) << sink.Error();
    WriteAccount(1, {{"SMTPAddress", sink.Address()}, {"EMailAddr", "me@example.test"}});
    WriteAccount(2, {{"SMTPAddress", "127.0.0.1:1"}, {"EMailAddr", "two@example.test"}});
    TIniFile(AccountsPath()).WriteInteger("ENTRYCOUNT", "NumEntries", 2);
    const LogWatch log;

    EXPECT_EQ(Tell("btnOK", "friend@example.test", 1), std::vector<std::string>{kThanks});
    const std::vector<SinkMessage> received = sink.Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].mailFrom, "me@example.test");
    EXPECT_EQ(received[0].rcptTo, std::vector<std::string>{"friend@example.test"});
    EXPECT_NE(received[0].data.find("Try Sievomatic"), std::string::npos) << received[0].data;
    EXPECT_NE(received[0].data.find("It sieves spam."), std::string::npos) << received[0].data;
    EXPECT_EQ(log.Texts(), std::vector<std::string>{"Mentioning Sievo to friend@example.test"});
}

TEST_F(TellFriendTest, WithoutAServerNothingIsSentAndAFailedSendIsReportedAndThanked) {
    WriteAccount(1, {{"EMailAddr", "me@example.test"}});
    TIniFile(AccountsPath()).WriteInteger("ENTRYCOUNT", "NumEntries", 1);
    EXPECT_EQ(
        Tell("btnOK", "friend@example.test", 1),
        std::vector<std::string>{"dlgMessage: nothing was sent: no account with an SMTP server"});

    WriteAccount(1, {{"SMTPAddress", "127.0.0.1:1"}});
    const auto errors = TheActivityLog().ErrorCount();
    EXPECT_EQ(Tell("btnOK", "friend@example.test", 2),
              (std::vector<std::string>{"dlgMessage: Error sending see log file", kThanks}));
    EXPECT_EQ(TheActivityLog().ErrorCount(), errors + 1);
}

using MailAddressDialogTest = MainWindowTest;

TEST_F(MailAddressDialogTest, OkStoresBothFieldsAndCancelNothing) {
    TmsMailAddress address("old@example.test", "Old Name");
    ModalAction cancel("MailAddressDlg", [](QWidget& dialog) {
        dialog.findChild<QLineEdit*>("NameEdit")->setText("Changed");
        dialog.findChild<QPushButton*>("btnCancel")->click();
    });
    EXPECT_FALSE(EditMailAddress(address));
    EXPECT_EQ(address, TmsMailAddress("old@example.test", "Old Name"));

    ModalAction ok("MailAddressDlg", [](QWidget& dialog) {
        EXPECT_EQ(dialog.findChild<QLineEdit*>("AddressEdit")->text(), "old@example.test");
        dialog.findChild<QLineEdit*>("NameEdit")->setText("New Name");
        dialog.findChild<QLineEdit*>("AddressEdit")->setText(QString(300, 'a'));
        dialog.findChild<QPushButton*>("btnOK")->click();
    });
    EXPECT_TRUE(EditMailAddress(address));
    EXPECT_EQ(address.Name(), "New Name");
    EXPECT_EQ(address.Address(), std::string(255, 'a'));  // the address's own limit
}

}  // namespace
}  // namespace sievo::testing
