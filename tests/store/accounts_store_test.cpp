#include "store/accounts_store.h"

#include <gmock/gmock.h>

#include <QElapsedTimer>
#include <QLocale>
#include <functional>
#include <map>

#include "config/date_time.h"
#include "config/ini_file.h"
#include "config/password.h"
#include "file_size_limit.h"
#include "store/password_command.h"
#include "store/password_vault.h"
#include "temp_home.h"

namespace sievo {
namespace {

class AccountsStoreTest : public testing::TempHomeTest {
protected:
    void TearDown() override {
        QLocale::setDefault(QLocale::c());
        TempHomeTest::TearDown();
    }
    static std::string Key(int number, const char* key) {
        return TIniFile(AccountsPath()).ReadString("USER" + std::to_string(number), key, "<none>");
    }
    // Every key away from its default, in the order of StoredAccount.
    static StoredAccount Filled(const std::string& id) {
        return {false,       "RAS",         "Modem " + id, id + "@example.test",
                "smtp" + id, "pop" + id,    "user" + id,   " pass\n" + id,
                0,           "1/2/30 4:05", std::nullopt,  false,
                id + ".wav", "mail " + id,  true,          true,
                "ssl",       "STARTTLS",    "smtp user",   "smtp\"pw" + id};
    }
    // Accounts 1 to 3, each with keys the store does not write: of the check, of another
    // version.
    void WriteThree() const {
        WriteFile("accounts.ini", "[ENTRYCOUNT]\nNumEntries=3\n");
        for (const std::string id : {"1", "2", "3"}) {
            accounts::Save(std::stoi(id), Filled(id));
            WriteAccount(std::stoi(id), {{"LastDateTime", "last" + id}, {"FutureKey", id}});
        }
    }
};

TEST_F(AccountsStoreTest, SavedAccountsLoadAsTheyWereAndMissingKeysTakeTheirDefaults) {
    EXPECT_EQ(accounts::Load(1), StoredAccount{});  // no file
    WriteAccount(2, {{"ClearPassword", "by hand"}, {"LastDateTime", "then"}});
    accounts::Save(2, Filled("2"));
    StoredAccount expected = Filled("2");
    expected.lastDateTime = "then";  // the check's to write
    EXPECT_EQ(accounts::Load(2), expected);
    EXPECT_EQ(Key(2, "ClearPassword"), "<none>");
    EXPECT_EQ(accounts::Load(1), StoredAccount{});  // no section

    // The single-key writes change their keys alone.
    const QDateTime next(QDate(2030, 5, 6), QTime(7, 8, 9)), last(QDate(2030, 5, 6), QTime(7, 0));
    accounts::SaveCheckTimes(2, next, last);
    accounts::SaveRunAfterManual(2, false);
    expected.nextDateTime = FormatDateTimeText(next);
    expected.lastDateTime = FormatDateTimeText(last);
    expected.runAfterManual = false;
    EXPECT_EQ(accounts::Load(2), expected);
}

std::string Summary(const TSievoUser& a) {
    return (a.Active ? "active " : "inactive ") + a.Method + " " + a.Service + " every " +
           std::to_string(a.Minutes) + (a.MailNotify ? " notify" : "") + " POP " + a.POPSecurity +
           " SMTP " + a.SMTPSecurity + (a.SMTPSecurityExplicit ? " named" : "") + " pw " +
           a.Password + "/" + a.SMTPPassword;
}

// A section with no more than the log-in is active, on the LAN, checked every 10 minutes,
// notifies and is due at once.
TEST_F(AccountsStoreTest, TheCheckReadsEachKeyByItsOwnRules) {
    WriteFile("accounts.ini", "[USER1]\nPassword=" + PasswordToIni("pw") +
                                  "\n[USER2]\nMethod=ras\nService=My Dialup\nPassword=\n"
                                  "ClearPassword=plain\nActive=0\nMinutes=0x3C\nMailNotify=0\n"
                                  "POPSecurity=starttls\nSMTPSecurity=none\nSMTPPassword=" +
                                  PasswordToIni("smtp") + "\n");
    EXPECT_EQ(Summary(accounts::ForCheck(1)),
              "active LAN LAN every 10 notify POP NONE SMTP NONE pw pw/");
    EXPECT_EQ(Summary(accounts::ForCheck(2)),
              "inactive RAS MY DIALUP every 60 POP STARTTLS SMTP NONE named pw plain/smtp");
    const TSievoUser bare = accounts::ForCheck(1);
    EXPECT_FALSE(bare.RunAfterManual || bare.RunAfterAuto);
    EXPECT_LE(bare.NextDateTime, QDateTime::currentDateTime());
}

// Whatever byte the password or its scrambled form holds, at the start, in the middle or at
// the end, it must read back intact: the file drops line breaks, NUL, outer blanks and quotes.
TEST_F(AccountsStoreTest, EveryBytePasswordSurvivesTheFile) {
    // An ordinary password is stored in the scrambled form that older versions read.
    EXPECT_EQ(PasswordToIni("hunter2"), EncodePassword("hunter2"));
    EXPECT_EQ(PasswordFromIni(EncodePassword("hunter2")), "hunter2");
    EXPECT_EQ(PasswordToIni(""), "");
    StoredAccount account;
    for (int b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        for (const auto& [pop, smtp] :
             {std::pair(DecodePassword(byte), DecodePassword(byte + "mid" + byte)),
              std::pair(DecodePassword("ab" + byte + "cd"), "pw" + byte)}) {
            account.password = pop;
            account.smtpPassword = smtp;
            accounts::Save(1, account);
            EXPECT_EQ(accounts::Load(1), account) << "byte " << b;
        }
    }
}

TEST_F(AccountsStoreTest, NextDateTimeIsReadInTheUsersLocaleElseTheAccountIsDueNow) {
    const QDateTime midnight(QDate(2026, 12, 31), QTime(0, 0));  // written without its time
    for (const char* name : {"en_US", "de_DE", "fr_FR", "ja_JP"}) {
        QLocale::setDefault(QLocale(name));
        for (const QDateTime& time : {QDateTime(QDate(2026, 3, 29), QTime(14, 5, 9)), midnight}) {
            accounts::SaveCheckTimes(1, time, time);
            EXPECT_EQ(accounts::ForCheck(1).NextDateTime, time) << Key(1, "NextDateTime");
        }
    }
    // A later date written in another locale, or garbage, cannot be read here.
    QLocale::setDefault(QLocale("de_DE"));
    const std::string germanText = FormatDateTimeText(QDateTime(QDate(2031, 1, 2), QTime(3, 4, 5)));
    QLocale::setDefault(QLocale("en_US"));
    for (const std::string& stored : {germanText, std::string("garbage")}) {
        WriteAccount(1, {{"NextDateTime", stored}});
        // Read first: the account's "now" must not be taken after the bound it is held to.
        const QDateTime read = accounts::ForCheck(1).NextDateTime;
        EXPECT_LE(read, QDateTime::currentDateTime()) << stored;
    }
}

// The new account's number is the one after the last the lists show; nothing a section of
// that number held before stays.
TEST_F(AccountsStoreTest, AppendGoesAfterTheShownAccountsAndErasesAStaleSection) {
    for (const auto& [statedCount, number] : {std::pair(2, 3), std::pair(9, 4)}) {
        WriteThree();
        TIniFile(AccountsPath()).WriteInteger("ENTRYCOUNT", "NumEntries", statedCount);
        EXPECT_EQ(accounts::Append(Filled("new")), number);
        EXPECT_EQ(accounts::Count(), number);
        EXPECT_EQ(accounts::Load(number), Filled("new"));
        EXPECT_EQ(Key(number - 1, "FutureKey"), std::to_string(number - 1));
    }
}

TEST_F(AccountsStoreTest, ARefusedWriteLeavesTheFileAndRemoveMovesEveryLaterAccountDown) {
    const std::pair<const char*, std::function<void()>> writes[] = {
        {"Save", [] { accounts::Save(1, Filled("x")); }},
        {"Append", [] { accounts::Append(Filled("x")); }},
        {"Remove", [] { accounts::Remove(1); }},
        {"SaveCheckTimes", [] { accounts::SaveCheckTimes(1, {}, {}); }},
        {"SaveRunAfterManual", [] { accounts::SaveRunAfterManual(1, false); }},
    };
    WriteThree();
    const std::string before = ReadFile("accounts.ini");
    for (const auto& [name, write] : writes) {
        const testing::FileSizeLimit fullDisk(0);
        EXPECT_THROW(write(), std::exception) << name;
        EXPECT_EQ(ReadFile("accounts.ini"), before) << name;
    }
    for (int removed = 1; removed <= 3; ++removed) {
        WriteThree();
        accounts::Remove(removed);
        EXPECT_EQ(accounts::Count(), 2);
        EXPECT_EQ(Key(3, "EMailAddr") + Key(3, "FutureKey"), "<none><none>");
        for (int n = 1; n <= 2; ++n) {
            const std::string was = std::to_string(n < removed ? n : n + 1);
            StoredAccount expected = Filled(was);
            expected.lastDateTime = "last" + was;
            EXPECT_EQ(accounts::Load(n), expected) << removed << ' ' << n;
            EXPECT_EQ(Key(n, "FutureKey"), was);
        }
    }
}

// A keyring in memory: `losing` names a key whose entry it drops on the way in.
struct FakeVault : PasswordVault {
    std::map<std::string, std::string> entries;
    std::string losing;

    bool Available() override { return true; }
    std::optional<std::string> Read(const std::string& key) override {
        return entries.contains(key) ? std::optional(entries[key]) : std::nullopt;
    }
    void Write(const std::string& key, const std::string& password) override {
        if (key != losing)
            entries[key] = password;
    }
    void Remove(const std::string& key) override { entries.erase(key); }
};

class AccountPasswordsTest : public AccountsStoreTest {
protected:
    void SetUp() override {
        AccountsStoreTest::SetUp();
        InstallPasswordVault(std::unique_ptr<FakeVault>(vault));
    }
    void TearDown() override {
        InstallPasswordVault(nullptr);
        AccountsStoreTest::TearDown();
    }

    FakeVault* vault = new FakeVault;  // owned by the store once installed
};

TEST_F(AccountPasswordsTest, KeyringPasswordsGoByLogInLeaveWithTheLastAccountAndMustBeFound) {
    for (const char* id : {"1", "1", "2"})  // the same log-in twice shares its entries
        accounts::Append(Filled(id));
    EXPECT_EQ(Key(1, "Password") + Key(1, "SMTPPassword") + Key(1, "PasswordStore"),
              "<none><none>KEYRING");
    EXPECT_EQ(vault->entries.at("smtp:smtp user@smtp1"), "smtp\"pw1");
    EXPECT_EQ(accounts::ForCheck(3).Password, " pass\n2");
    accounts::Remove(1);
    EXPECT_EQ(accounts::ForCheck(1).Password, " pass\n1");
    accounts::Remove(1);
    EXPECT_EQ(vault->entries.count("user1@pop1") + vault->entries.count("smtp:smtp user@smtp1"),
              0u);

    // Never an empty password sent: the account is not checked, and the error names it.
    vault->entries.clear();
    EXPECT_THAT([] { accounts::ForCheck(1); }, ::testing::ThrowsMessage<std::exception>(
                                                   ::testing::HasSubstr("account 2@example.test")));
}

// The dialog saves what it fetched: a changed log-in takes its entry along, unless another
// account still names the old one.
TEST_F(AccountPasswordsTest, AChangedLogInLeavesNoEntryThatNoAccountNames) {
    for (const char* id : {"1", "1"})
        accounts::Append(Filled(id));
    for (const int number : {2, 1}) {
        StoredAccount changed = accounts::FetchKeyringPasswords(accounts::Load(number));
        changed.popUser = "renamed";
        accounts::Save(number, changed);
        EXPECT_EQ(vault->entries.contains("user1@pop1"), number == 2) << number;
    }
    EXPECT_EQ(vault->entries.at("renamed@pop1"), " pass\n1");
    EXPECT_EQ(vault->entries.at("smtp:smtp user@smtp1"), "smtp\"pw1");
}

TEST_F(AccountPasswordsTest, MovingLeavesTheFileAsItWasUntilTheKeyringKeptEveryPassword) {
    WriteFile("accounts.ini",
              "[ENTRYCOUNT]\nNumEntries=2\n[USER1]\nPassword=" + PasswordToIni("pw1") +
                  "\nSMTPPassword=" + PasswordToIni("smtp1") +
                  "\n[USER2]\nPOPUser=bob\nClearPassword=pw2\n");
    const std::string before = ReadFile("accounts.ini");
    vault->losing = "smtp:@";
    EXPECT_THROW(accounts::MovePasswordsToKeyring(), std::exception);
    EXPECT_EQ(ReadFile("accounts.ini"), before);

    vault->losing.clear();
    EXPECT_EQ(accounts::MovePasswordsToKeyring(), 2);
    EXPECT_FALSE(accounts::AnyPasswordInFile());
    EXPECT_EQ(accounts::ForCheck(1).SMTPPassword + accounts::ForCheck(2).Password, "smtp1pw2");
    EXPECT_EQ(accounts::MovePasswordsToKeyring(), 0);
}

TEST_F(AccountPasswordsTest, APasswordCommandGivesItsFirstLineAndEveryFailureNamesTheAccount) {
    StoredAccount account = Filled("1");
    account.passwordCommand = "printf 'from command\\nsecond\\n'";
    accounts::Append(account);
    EXPECT_EQ(Key(1, "PasswordCommand"), account.passwordCommand);
    EXPECT_EQ(vault->entries.count("user1@pop1"), 0u);
    EXPECT_EQ(accounts::ForCheck(1).Password, "from command");

    for (const char* command :
         {"echo secret-out; echo secret-err >&2; exit 3", "true", "sleep 5; echo late"}) {
        QElapsedTimer took;
        took.start();
        EXPECT_THAT(
            [&] { RunPasswordCommand(command, "1@example.test", std::chrono::milliseconds(300)); },
            ::testing::ThrowsMessage<std::exception>(
                ::testing::AllOf(::testing::HasSubstr("command of account 1@example.test"),
                                 ::testing::Not(::testing::HasSubstr("secret")))))
            << command;
        EXPECT_LT(took.elapsed(), 2000) << command;
    }
}

}  // namespace
}  // namespace sievo
