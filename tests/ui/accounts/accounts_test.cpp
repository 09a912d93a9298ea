#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>

#include "../engine/mailbox_account.h"
#include "config/date_time.h"
#include "file_size_limit.h"
#include "modal_action.h"
#include "modal_answerer.h"
#include "scripted_server.h"
#include "store/accounts_store.h"
#include "store/settings_store.h"
#include "ui/accounts/account_settings_dialog.h"
#include "ui/accounts/accounts_window.h"
#include "ui/accounts/change_dates_dialog.h"
#include "ui/accounts/select_account_dialog.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

class AccountDialogsTest : public MainWindowTest {
protected:
    static void AppendAccounts(int count) {
        StoredAccount account;
        for (int n = 1; n <= count; ++n) {
            account.emailAddr = "user" + std::to_string(n) + "@example.test";
            accounts::Append(account);
        }
    }

    AccountContext context;
};

TEST_F(AccountDialogsTest, IntervalZeroSwitchesAutoCheckOffAndSettingsAreWritten) {
    AppendAccounts(1);
    Main().EnableAutoCheck();
    ModalAction settings("frmSettings", [](QWidget& dialog) {
        dialog.findChild<QSlider*>("trkInterval")->setValue(0);
        EXPECT_EQ(dialog.findChild<QLabel*>("lblInterval")->text(), "Every 0 Minutes");
        dialog.findChild<QPushButton*>("btnOK")->click();
    });
    Main().Menu().accounts->trigger();
    QWidget* window = TopLevel("frmAccounts");
    ASSERT_NE(window, nullptr);
    window->findChild<QPushButton*>("btnProperties")->click();

    ASSERT_TRUE(settings.Done());
    EXPECT_TRUE(Main().Menu().disableAutoCheck->isChecked());
    EXPECT_FALSE(settings::AutoEnabled());
    EXPECT_EQ(accounts::Load(1).minutes, 0);
    EXPECT_EQ(accounts::Load(1).service, std::nullopt);  // LAN writes no Service
}

// A check goes through the accounts by number: none is removed while it runs. Once it has
// ended the removal goes through, and the list shows the accounts that remain.
TEST_F(AccountDialogsTest, RemovalIsRefusedWhileACheckRunsAndThenShowsTheAccountsThatRemain) {
    ScriptedServer silent;
    silent.Hold();
    AppendAccounts(3);
    WriteAccount(1,
                 {{"POPAddress", silent.Address()}, {"POPUser", "sam"}, {"ClearPassword", "pw"}});
    WriteAccount(2, {{"Active", "0"}});
    WriteAccount(3, {{"Active", "0"}});
    Main().Menu().accounts->trigger();
    auto* window = qobject_cast<TfrmAccounts*>(TopLevel("frmAccounts"));
    ASSERT_NE(window, nullptr);
    auto* list = window->findChild<QTreeWidget*>("lstVAccounts");
    list->setCurrentItem(list->topLevelItem(1));
    // The refusal, the cancelled check's error, then the question once the check has ended.
    ModalAnswerer answerer(
        ModalAnswerer::Answers{{"dlgMessage", "OK"}, {"dlgMessage", "OK"}, {"dlgQuestion", "Yes"}});
    QTimer::singleShot(300, [&] {
        window->PROCDeleteAccount();
        Main().Engine().CancelScan();
    });
    Main().Menu().cleanNow->trigger();
    EXPECT_EQ(accounts::Count(), 3);
    window->PROCDeleteAccount();

    ASSERT_TRUE(answerer.AllAnswered()) << ::testing::PrintToString(answerer.seen);
    EXPECT_NE(answerer.seen[0].find("while a check is running"), std::string::npos)
        << answerer.seen[0];
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "user1@example.test");
    EXPECT_EQ(list->topLevelItem(1)->text(0), "user3@example.test");
}

// Every field shows its key and OK puts it back.
TEST_F(AccountDialogsTest, OkWithoutChangesSavesTheAccountAsLoaded) {
    const QDateTime next(QDate(2030, 1, 2), QTime(3, 4, 5));
    // In the order of StoredAccount; an SMTP "NONE" not chosen stays unnamed.
    const StoredAccount stored{false,
                               "MANUAL",
                               "Modem B",
                               "sam@example.test",
                               "smtp.example.test",
                               "pop.example.test",
                               "sam",
                               "pass",
                               90,
                               FormatDateTimeText(next),
                               "then",
                               false,
                               "ding.wav",
                               "mailer",
                               true,
                               true,
                               "SSL",
                               std::nullopt,
                               "smtp user",
                               "smtp pw"};
    accounts::Append(stored);
    WriteAccount(1, {{"LastDateTime", "then"}});
    context.dialUpEntries = [] { return std::vector<std::string>{"Modem A", "Modem B"}; };
    TfrmSettings settings(1, context, nullptr);
    const auto place = [](const TfrmSettings& dialog) {
        return dialog.findChild<QLabel*>("lblPasswordPlace")->text();
    };
    EXPECT_EQ(place(settings), "Kept in accounts.ini (scrambled)");
    settings.accept();
    EXPECT_EQ(accounts::Load(1), stored);
    WriteAccount(1, {{"PasswordCommand", "pass show mail"}});
    EXPECT_EQ(place(TfrmSettings(1, context, nullptr)), "From a command");
}

TEST_F(AccountDialogsTest, ARefusedWriteOnOkIsShownAndTheDialogStaysOpenWithTheAccountUntouched) {
    AppendAccounts(1);
    TfrmSettings settings(1, context, nullptr);
    settings.show();
    settings.findChild<QLineEdit*>("edtPOPUser")->setText("changed");
    {
        const FileSizeLimit fullDisk(0);
        ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgMessage", "OK"}});
        settings.findChild<QPushButton*>("btnOK")->click();
        ASSERT_TRUE(answerer.AllAnswered());
        EXPECT_NE(answerer.seen[0].find("Unable to write to"), std::string::npos);
    }
    EXPECT_TRUE(settings.isVisible());
    EXPECT_EQ(accounts::Load(1).popUser, "");
    settings.findChild<QPushButton*>("btnOK")->click();
    EXPECT_FALSE(settings.isVisible());
    EXPECT_EQ(accounts::Load(1).popUser, "changed");
}

TEST_F(AccountDialogsTest, TheDialUpOptionWritesTheMatchingOrElseTheFirstEntry) {
    context.dialUpEntries = [] { return std::vector<std::string>{"Modem A", "Modem B"}; };
    StoredAccount account;
    for (const auto& [stored, written] : {std::pair(" modem b", "Modem B"), {"gone", "Modem A"}}) {
        account.service = stored;
        accounts::Save(1, account);
        TfrmSettings settings(1, context, nullptr);
        settings.findChild<QRadioButton*>("optRAS")->setChecked(true);
        settings.accept();
        EXPECT_EQ(accounts::Load(1).method, "RAS");
        EXPECT_EQ(accounts::Load(1).service, written);
    }
}

TEST_F(AccountDialogsTest, SelectAccountAsksOnlyForTwoOrMore) {
    AppendAccounts(1);
    EXPECT_EQ(FINTSelectAccount(), 1);
    AppendAccounts(1);
    ModalAction pickSecond("frmSelectAccount", [](QWidget& dialog) {
        auto* list = dialog.findChild<QTreeWidget*>("lstVAccounts");
        list->setCurrentItem(list->topLevelItem(1));
        dialog.findChild<QPushButton*>("btnOK")->click();
    });
    EXPECT_EQ(FINTSelectAccount(), 2);
    ModalAction noRow("frmSelectAccount", [](QWidget& dialog) {
        dialog.findChild<QTreeWidget*>("lstVAccounts")->clearSelection();
        dialog.findChild<QPushButton*>("btnOK")->click();
    });
    EXPECT_EQ(FINTSelectAccount(), -1);
}

TEST_F(AccountDialogsTest, CalendarMonthsStayInTheYearAndClampTheDay) {
    TfrmChange change(QTime(8, 30), nullptr);
    auto* calendar = change.findChild<QCalendarWidget*>("calDate");
    auto click = [&](const char* name) { change.findChild<QPushButton*>(name)->click(); };
    calendar->setSelectedDate(QDate(2025, 3, 31));
    click("btnMonthBack");
    EXPECT_EQ(calendar->selectedDate(), QDate(2025, 2, 28));
    click("btnMonthBack");
    click("btnMonthBack");
    EXPECT_EQ(calendar->selectedDate(), QDate(2025, 1, 28));  // not into last year
    click("btnYearBack");
    EXPECT_EQ(calendar->selectedDate(), QDate(2024, 1, 28));
}

// The field shows the long time with seconds; the short one, as people type it, counts too.
// Anything else is refused with a message, and nothing is taken.
TEST_F(AccountDialogsTest, ChangeScanTimeTakesTheLongAndTheShortTimeOnly) {
    const struct {
        const char* locale;
        const char* typed;
    } cases[] = {{"de_DE", "14:30"}, {"en_US", "2:30 PM"}, {"en_US", "14:30"}, {"en_US", "noon"}};
    const QLocale before;
    for (const auto& c : cases) {
        QLocale::setDefault(QLocale(c.locale));
        TfrmChange change(QTime(8, 30), nullptr);
        change.findChild<QLineEdit*>("edtTime")->setText(c.typed);
        ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgMessage", "OK"}});
        change.accept();
        const bool taken = std::string(c.typed) != "noon";
        EXPECT_EQ(answerer.AllAnswered(), !taken) << c.typed;
        EXPECT_EQ(change.Chosen(),
                  taken ? QDateTime(QDate::currentDate(), QTime(14, 30)) : QDateTime())
            << c.typed;
    }
    QLocale::setDefault(before);
}

TEST_F(AccountDialogsTest, TheServerTestSaysWhatWorkedAndWhatDidNot) {
    DovecotServer dovecot({{}, "", ""});
    ASSERT_TRUE(dovecot.Started()) << dovecot.Error();
    AppendMailboxAccount(dovecot.PlainAddress());
    WriteAccount(1, {{"SMTPAddress", "127.0.0.1:1"}});
    TfrmSettings settings(1, context, nullptr);
    settings.findChild<QPushButton*>("btnTest")->click();
    const QString result = settings.findChild<QLabel*>("lblTestResult")->text();
    EXPECT_TRUE(result.contains("POP3 server " + QString::fromStdString(dovecot.PlainAddress()) +
                                ": logged in"))
        << result.toStdString();
    EXPECT_TRUE(result.contains("SMTP server 127.0.0.1:1: FAILED")) << result.toStdString();

    settings.findChild<QLineEdit*>("edtPassword")->setText("wrong");
    settings.findChild<QPushButton*>("btnTest")->click();
    EXPECT_TRUE(settings.findChild<QLabel*>("lblTestResult")->text().startsWith("POP3 server"));
    EXPECT_TRUE(settings.findChild<QLabel*>("lblTestResult")->text().contains(": FAILED: "));
}

// IMAP chosen: the folder lists come from the server once Test has run, and OK writes the
// IMAP keys, a None chosen by the user named as such.
TEST_F(AccountDialogsTest, ImapTestListsTheFoldersAndOkWritesTheImapKeys) {
    DovecotServer::Options options;
    options.imap = true;
    DovecotServer dovecot(options);
    ASSERT_TRUE(dovecot.Started()) << dovecot.Error();
    AppendMailboxAccount(dovecot.ImapAddress());
    TfrmSettings settings(1, context, nullptr);
    auto* spam = settings.findChild<QComboBox*>("cboSpamFolder");
    EXPECT_FALSE(spam->isEnabled());
    settings.findChild<QComboBox*>("cboProtocol")->setCurrentIndex(1);
    EXPECT_TRUE(spam->isEnabled());
    auto* security = settings.findChild<QComboBox*>("cboPOPSecurity");
    QTest::keyClick(security, Qt::Key_Down);
    QTest::keyClick(security, Qt::Key_Up);
    settings.findChild<QPushButton*>("btnTest")->click();

    const QString result = settings.findChild<QLabel*>("lblTestResult")->text();
    EXPECT_TRUE(result.startsWith("IMAP server " + QString::fromStdString(dovecot.ImapAddress()) +
                                  ": logged in (no encryption)"))
        << result.toStdString();
    QStringList folders;
    for (int i = 0; i < spam->count(); ++i)
        folders << spam->itemText(i);
    EXPECT_EQ(folders, (QStringList{"", "INBOX", "Junk"}));  // the inbox first
    EXPECT_EQ(settings.findChild<QComboBox*>("cboIMAPFolder")->currentText(), "INBOX");
    spam->setCurrentIndex(spam->findText("Junk"));
    settings.findChild<QCheckBox*>("chkExpungeSpam")->setChecked(true);
    settings.accept();

    const StoredAccount saved = accounts::Load(1);
    EXPECT_EQ(saved.protocol, "IMAP");
    EXPECT_EQ(saved.popSecurity, "NONE");
    EXPECT_EQ(saved.imapFolder, "INBOX");
    EXPECT_EQ(saved.spamFolder, "Junk");
    EXPECT_TRUE(saved.expungeSpam);
}

}  // namespace
}  // namespace sievo::testing
