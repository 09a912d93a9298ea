#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTreeWidget>

#include "config/account.h"
#include "config/date_time.h"
#include "config/password.h"
#include "dovecot_server.h"
#include "file_size_limit.h"
#include "modal_action.h"
#include "modal_answerer.h"
#include "scripted_server.h"
#include "ui/accounts/account_settings_dialog.h"
#include "ui/accounts/accounts_window.h"
#include "ui/accounts/change_dates_dialog.h"
#include "ui/accounts/select_account_dialog.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

class AccountDialogsTest : public MainWindowTest {
protected:
    void WriteAccounts(int count) {
        for (int n = 1; n <= count; ++n) {
            const std::string id = std::to_string(n);
            WriteAccount(n, {{"EMailAddr", "user" + id + "@example.test"},
                             {"POPAddress", "pop" + id + ".example.test"},
                             {"Method", "LAN"},
                             {"LastDateTime", "last" + id}});
        }
        // A hand-configured account: a plain password, and a key the dialogs never write.
        if (count >= 3)
            WriteAccount(3, {{"POPSecurity", "SSL"}, {"ClearPassword", "plain3"}});
        Accounts().WriteInteger("ENTRYCOUNT", "NumEntries", count);
    }
    static TIniFile Accounts() { return TIniFile(AccountsPath()); }
    static std::string Key(int account, const char* key) {
        return Accounts().ReadString(AccountSection(account), key, "<none>");
    }

    AccountContext context;
};

struct RemovalCase {
    int row;  // 0-based
    std::vector<std::string> addressesAfter;
};

class AccountRemovalTest : public AccountDialogsTest,
                           public ::testing::WithParamInterface<RemovalCase> {};

TEST_P(AccountRemovalTest, RemovesTheSelectedAccountAndMovesTheLaterOnesDown) {
    WriteAccounts(3);
    TfrmAccounts window(context);
    window.show();
    auto* list = window.findChild<QTreeWidget*>("lstVAccounts");
    list->setCurrentItem(list->topLevelItem(GetParam().row));
    ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgQuestion", "Yes"}});
    window.PROCDeleteAccount();

    ASSERT_TRUE(answerer.AllAnswered()) << answerer.seen.size();
    const auto& expected = GetParam().addressesAfter;
    EXPECT_EQ(AccountCount(), static_cast<int>(expected.size()));
    EXPECT_EQ(Key(3, "EMailAddr"), "<none>");
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        EXPECT_EQ(Key(number, "EMailAddr"), expected[i]);
        EXPECT_EQ(list->topLevelItem(i)->text(0).toStdString(), expected[i]);
        // A moved account keeps every key it had, and nothing of the one that was there.
        const bool third = expected[i] == "user3@example.test";
        const TSievoUser account(number);
        EXPECT_EQ(account.POPSecurity, third ? "SSL" : "NONE");
        EXPECT_EQ(account.Password, third ? "plain3" : "");
        EXPECT_TRUE(account.MailNotify);
        EXPECT_EQ(Key(number, "LastDateTime"), "last" + expected[i].substr(4, 1));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AccountRemovalTest,
    ::testing::Values(RemovalCase{0, {"user2@example.test", "user3@example.test"}},
                      RemovalCase{1, {"user1@example.test", "user3@example.test"}},
                      RemovalCase{2, {"user1@example.test", "user2@example.test"}}));

TEST_F(AccountDialogsTest, IntervalZeroSwitchesAutoCheckOffAndSettingsAreWritten) {
    WriteAccounts(1);
    Main().EnableAutoCheck();
    ModalAction settings("frmSettings", [](QWidget& dialog) {
        dialog.findChild<QSlider*>("trkInterval")->setValue(0);
        EXPECT_EQ(dialog.findChild<QLabel*>("lblInterval")->text(), "Every 0 Minutes");
        dialog.findChild<QLineEdit*>("edtPassword")->setText("pa\nss");
        auto* security = dialog.findChild<QComboBox*>("cboSMTPSecurity");
        security->setCurrentIndex(security->findData("STARTTLS"));
        dialog.findChild<QPushButton*>("btnOK")->click();
    });
    Main().Menu().accounts->trigger();
    QWidget* window = TopLevel("frmAccounts");
    ASSERT_NE(window, nullptr);
    window->findChild<QPushButton*>("btnProperties")->click();

    ASSERT_TRUE(settings.Done());
    EXPECT_TRUE(Main().Menu().disableAutoCheck->isChecked());
    EXPECT_EQ(TIniFile(PathOf("settings.ini")).ReadString("Main", "AutoEnabled", ""), "0");
    EXPECT_EQ(Key(1, "Minutes"), "0");
    EXPECT_EQ(TSievoUser(1).Password, "pa\nss");
    EXPECT_EQ(Key(1, "SMTPSecurity"), "STARTTLS");
    EXPECT_EQ(Key(1, "Service"), "<none>");  // LAN writes no Service
    EXPECT_TRUE(ParseDateTimeText(Key(1, "NextDateTime")).has_value());
}

TEST_F(AccountDialogsTest, RemovalIsRefusedWhileACheckRuns) {
    ScriptedServer silent;
    silent.Hold();
    WriteAccounts(2);
    WriteAccount(1,
                 {{"POPAddress", silent.Address()}, {"POPUser", "sam"}, {"ClearPassword", "pw"}});
    WriteAccount(2, {{"Active", "0"}});
    WriteSetting("Main", "OpenedBefore", "1");
    // The refusal, then the cancelled check's error.
    ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgMessage", "OK"}, {"dlgMessage", "OK"}});
    QTimer::singleShot(300, [&] {
        Main().Menu().accounts->trigger();
        auto* window = qobject_cast<TfrmAccounts*>(TopLevel("frmAccounts"));
        ASSERT_NE(window, nullptr);
        auto* list = window->findChild<QTreeWidget*>("lstVAccounts");
        list->setCurrentItem(list->topLevelItem(0));
        window->PROCDeleteAccount();
        Main().Engine().CancelScan();
    });
    Main().Menu().cleanNow->trigger();

    ASSERT_TRUE(answerer.AllAnswered()) << ::testing::PrintToString(answerer.seen);
    EXPECT_NE(answerer.seen[0].find("while a check is running"), std::string::npos)
        << answerer.seen[0];
    EXPECT_EQ(AccountCount(), 2);
    EXPECT_EQ(Key(1, "POPUser"), "sam");
}

TEST_F(AccountDialogsTest, SettingsShowAHandWrittenPasswordAndKeepOnlyItsScrambledForm) {
    WriteAccount(1, {{"POPAddress", "pop.example.test"}, {"ClearPassword", "plain"}});
    Accounts().WriteInteger("ENTRYCOUNT", "NumEntries", 1);
    TfrmSettings settings(1, context, nullptr);
    EXPECT_EQ(settings.findChild<QLineEdit*>("edtPassword")->text(), "plain");
    // A wizard-made account has no MailNotify: it plays the sound, and OK keeps it so.
    EXPECT_TRUE(settings.findChild<QCheckBox*>("chkMailNotify")->isChecked());
    settings.accept();
    EXPECT_EQ(Key(1, "ClearPassword"), "<none>");
    EXPECT_EQ(TSievoUser(1).Password, "plain");
    EXPECT_TRUE(TSievoUser(1).MailNotify);
}

TEST_F(AccountDialogsTest, ARefusedWriteOnOkIsShownAndTheDialogStaysOpenWithTheAccountUntouched) {
    WriteAccounts(1);
    const std::string before = ReadFile("accounts.ini");
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
    EXPECT_EQ(ReadFile("accounts.ini"), before);
    settings.findChild<QPushButton*>("btnOK")->click();
    EXPECT_FALSE(settings.isVisible());
    EXPECT_EQ(Key(1, "POPUser"), "changed");
}

struct ServiceCase {
    const char* storedService;
    const char* writtenService;
};

class AccountServiceTest : public AccountDialogsTest,
                           public ::testing::WithParamInterface<ServiceCase> {};

TEST_P(AccountServiceTest, TheDialUpOptionWritesTheMatchingOrElseTheFirstEntry) {
    WriteAccount(1, {{"Method", "LAN"}, {"Service", GetParam().storedService}});
    Accounts().WriteInteger("ENTRYCOUNT", "NumEntries", 1);
    context.dialUpEntries = [] { return std::vector<std::string>{"Modem A", "Modem B"}; };
    TfrmSettings settings(1, context, nullptr);
    settings.findChild<QRadioButton*>("optRAS")->setChecked(true);
    settings.accept();
    EXPECT_EQ(Key(1, "Method"), "RAS");
    EXPECT_EQ(Key(1, "Service"), GetParam().writtenService);
}

INSTANTIATE_TEST_SUITE_P(Entries, AccountServiceTest,
                         ::testing::Values(ServiceCase{" modem b", "Modem B"},
                                           ServiceCase{"gone", "Modem A"}));

TEST_F(AccountDialogsTest, SelectAccountAsksOnlyForTwoOrMore) {
    WriteAccounts(1);
    EXPECT_EQ(FINTSelectAccount(), 1);
    WriteAccounts(3);
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

    change.findChild<QLineEdit*>("edtTime")->setText("not a time");
    ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgMessage", "OK"}});
    change.accept();
    EXPECT_TRUE(answerer.AllAnswered());
    EXPECT_FALSE(change.Chosen().isValid());  // stays open, nothing taken
}

struct TypedTimeCase {
    const char* locale;
    const char* typed;
    QTime taken;
};

class ChangeScanTimeTest : public ::testing::TestWithParam<TypedTimeCase> {
protected:
    void TearDown() override { QLocale::setDefault(before_); }

private:
    QLocale before_;
};

// The field shows the long time with seconds; the short one, as people type it, counts too.
TEST_P(ChangeScanTimeTest, TakesTheLongAndTheShortTime) {
    QLocale::setDefault(QLocale(GetParam().locale));
    TfrmChange change(QTime(8, 30), nullptr);
    change.findChild<QLineEdit*>("edtTime")->setText(GetParam().typed);
    ModalAnswerer refused(ModalAnswerer::Answers{});
    change.accept();
    EXPECT_EQ(refused.seen, std::vector<std::string>{});
    EXPECT_EQ(change.Chosen(), QDateTime(QDate::currentDate(), GetParam().taken));
}

INSTANTIATE_TEST_SUITE_P(Locales, ChangeScanTimeTest,
                         ::testing::Values(TypedTimeCase{"de_DE", "14:30", QTime(14, 30)},
                                           TypedTimeCase{"en_US", "2:30 PM", QTime(14, 30)},
                                           TypedTimeCase{"en_US", "14:30", QTime(14, 30)}));

class ServerTestButtonTest : public AccountDialogsTest {};

TEST_F(ServerTestButtonTest, SaysWhatWorkedAndWhatDidNot) {
    DovecotServer dovecot({{}, "", ""});
    ASSERT_TRUE(dovecot.Started()) << dovecot.Error();
    WriteAccount(1, {{"POPAddress", dovecot.PlainAddress()},
                     {"POPUser", DovecotServer::kUserName},
                     {"Password", PasswordToIni(DovecotServer::kPassword)},
                     {"SMTPAddress", "127.0.0.1:1"}});
    Accounts().WriteInteger("ENTRYCOUNT", "NumEntries", 1);
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

}  // namespace
}  // namespace sievo::testing
