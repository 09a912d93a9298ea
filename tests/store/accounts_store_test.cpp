#include "store/accounts_store.h"

#include <QDir>
#include <QLocale>
#include <functional>

#include "config/date_time.h"
#include "config/ini_file.h"
#include "config/password.h"
#include "file_size_limit.h"
#include "temp_home.h"

namespace sievo {
namespace {

class AccountsStoreTest : public testing::TempHomeTest {
protected:
    void TearDown() override {
        QLocale::setDefault(QLocale::c());
        TempHomeTest::TearDown();
    }
    void WriteCount(int count) const {
        TIniFile(AccountsPath()).WriteInteger("ENTRYCOUNT", "NumEntries", count);
    }
    static std::string Key(int number, const char* key) {
        return TIniFile(AccountsPath()).ReadString("USER" + std::to_string(number), key, "<none>");
    }
    // Every key away from its default.
    static StoredAccount Filled(const std::string& id) {
        return {.active = false,
                .method = "RAS",
                .service = "Modem " + id,
                .emailAddr = id + "@example.test",
                .smtpAddress = "smtp" + id,
                .popAddress = "pop" + id,
                .popUser = "user" + id,
                .password = " pass\n" + id,
                .minutes = 0,
                .nextDateTime = "1/2/30 4:05",
                .lastDateTime = std::nullopt,
                .mailNotify = false,
                .mailNotifyWav = id + ".wav",
                .commandLine = "mail " + id,
                .runAfterManual = true,
                .runAfterAuto = true,
                .popSecurity = "ssl",
                .smtpSecurity = "STARTTLS",
                .smtpUser = "smtp user",
                .smtpPassword = "smtp\"pw" + id};
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
}

// A section with no more than the log-in is active, on the LAN, checked every 10 minutes
// and due at once.
TEST_F(AccountsStoreTest, TheCheckReadsEachKeyByItsOwnRules) {
    WriteAccount(1, {{"POPUser", "sam"}, {"Password", PasswordToIni("pw")}});
    const TSievoUser bare = accounts::ForCheck(1);
    EXPECT_TRUE(bare.Active && bare.MailNotify);
    EXPECT_FALSE(bare.RunAfterManual || bare.RunAfterAuto || bare.SMTPSecurityExplicit);
    EXPECT_EQ(bare.Method + bare.Service + bare.POPSecurity + bare.SMTPSecurity, "LANLANNONENONE");
    EXPECT_EQ(bare.Minutes, 10);
    EXPECT_EQ(bare.Password, "pw");
    EXPECT_LE(bare.NextDateTime, QDateTime::currentDateTime());
    // Retrieved messages wait in the data folder's temp/ on their way to the Trash.
    EXPECT_EQ(bare.TempPath, Home() + "temp/");
    EXPECT_TRUE(QDir(QString::fromStdString(bare.TempPath)).exists());

    WriteAccount(2, {{"Method", "ras"},
                     {"Service", "My Dialup"},
                     {"Password", ""},
                     {"ClearPassword", "plain pw"},
                     {"Active", "0"},
                     {"Minutes", "0x3C"},
                     {"POPSecurity", "starttls"},
                     {"SMTPSecurity", "none"},
                     {"SMTPPassword", PasswordToIni("smtp pw")}});
    const TSievoUser user = accounts::ForCheck(2);
    EXPECT_EQ(user.Index, 2);
    EXPECT_EQ(user.Method + "|" + user.Service, "RAS|MY DIALUP");
    EXPECT_EQ(user.Password, "plain pw");
    EXPECT_FALSE(user.Active);
    EXPECT_EQ(user.Minutes, 60);
    EXPECT_EQ(user.POPSecurity + "|" + user.SMTPSecurity, "STARTTLS|NONE");
    EXPECT_TRUE(user.SMTPSecurityExplicit);
    EXPECT_EQ(user.SMTPPassword, "smtp pw");
}

// Whatever byte the password or its scrambled form holds, at the start, in the middle or at
// the end, it must read back intact: the file drops line breaks, NUL, outer blanks and quotes.
TEST_F(AccountsStoreTest, EveryBytePasswordSurvivesTheFile) {
    StoredAccount account;
    for (int b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        for (const std::string& scrambled : {byte, byte + "mid" + byte, "ab" + byte + "cd"}) {
            account.password = DecodePassword(scrambled);
            accounts::Save(1, account);
            EXPECT_EQ(accounts::Load(1).password, account.password) << "scrambled byte " << b;
        }
        account.password = "pw" + byte;
        accounts::Save(1, account);
        EXPECT_EQ(accounts::Load(1).password, account.password) << "plain byte " << b;
    }
}

TEST_F(AccountsStoreTest, NextDateTimeIsReadInTheUsersLocaleElseTheAccountIsDueNow) {
    const QDateTime when(QDate(2026, 3, 29), QTime(14, 5, 9));
    const QDateTime midnight(QDate(2026, 12, 31), QTime(0, 0));  // written without its time
    for (const char* name : {"en_US", "de_DE", "fr_FR", "ja_JP"}) {
        QLocale::setDefault(QLocale(name));
        for (const QDateTime& time : {when, midnight}) {
            accounts::SaveCheckTimes(1, time, time);
            EXPECT_EQ(accounts::ForCheck(1).NextDateTime, time)
                << name << ' ' << Key(1, "NextDateTime");
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

TEST_F(AccountsStoreTest, SingleKeyWritesChangeOnlyTheirKeys) {
    accounts::Save(1, Filled("1"));
    const QDateTime next(QDate(2030, 5, 6), QTime(7, 8, 9)), last(QDate(2030, 5, 6), QTime(7, 0));
    accounts::SaveCheckTimes(1, next, last);
    accounts::SaveRunAfterManual(1, false);
    StoredAccount expected = Filled("1");
    expected.nextDateTime = FormatDateTimeText(next);
    expected.lastDateTime = FormatDateTimeText(last);
    expected.runAfterManual = false;
    EXPECT_EQ(accounts::Load(1), expected);
}

// The number the next account gets is the one after the last the lists show; what a
// section of that number held before is gone.
TEST_F(AccountsStoreTest, AppendGoesAfterTheShownAccountsAndErasesAStaleSection) {
    const struct {
        int statedCount;
        int number;
    } cases[] = {{2, 3}, {9, 4}};
    for (const auto& c : cases) {
        WriteFile("accounts.ini", "");
        for (int n = 1; n <= 3; ++n)
            WriteAccount(n, {{"EMailAddr", std::to_string(n)}, {"LastDateTime", "stale"}});
        WriteCount(c.statedCount);
        EXPECT_EQ(accounts::Append(Filled("new")), c.number);
        EXPECT_EQ(accounts::Count(), c.number);
        EXPECT_EQ(accounts::Load(c.number), Filled("new"));
        EXPECT_EQ(accounts::Load(c.number - 1).emailAddr, std::to_string(c.number - 1));
    }
}

TEST_F(AccountsStoreTest, RemoveMovesEveryLaterAccountDownWithAllOfItsKeys) {
    for (int removed = 1; removed <= 3; ++removed) {
        SCOPED_TRACE(removed);
        WriteFile("accounts.ini", "");
        for (int n = 1; n <= 3; ++n) {
            const std::string id = std::to_string(n);
            accounts::Save(n, Filled(id));
            // Keys the store does not write: by hand, of the check, of other versions.
            WriteAccount(n, {{"Password", ""},
                             {"ClearPassword", "plain" + id},
                             {"LastDateTime", "last" + id},
                             {"FutureKey", id}});
        }
        WriteCount(3);
        accounts::Remove(removed);
        EXPECT_EQ(accounts::Count(), 2);
        EXPECT_EQ(Key(3, "EMailAddr") + Key(3, "FutureKey"), "<none><none>");
        for (int n = 1; n <= 2; ++n) {
            const std::string was = std::to_string(n < removed ? n : n + 1);
            StoredAccount expected = Filled(was);
            expected.password = "plain" + was;
            expected.lastDateTime = "last" + was;
            EXPECT_EQ(accounts::Load(n), expected) << n;
            EXPECT_EQ(Key(n, "FutureKey"), was);
        }
    }
}

TEST_F(AccountsStoreTest, ARefusedWriteLeavesTheFileAsItWas) {
    const std::pair<const char*, std::function<void()>> writes[] = {
        {"Save", [] { accounts::Save(1, Filled("x")); }},
        {"Append", [] { accounts::Append(Filled("x")); }},
        {"Remove", [] { accounts::Remove(1); }},
        {"SaveCheckTimes", [] { accounts::SaveCheckTimes(1, {}, {}); }},
        {"SaveRunAfterManual", [] { accounts::SaveRunAfterManual(1, false); }},
    };
    accounts::Append(Filled("1"));
    accounts::Append(Filled("2"));
    const std::string before = ReadFile("accounts.ini");
    for (const auto& [name, write] : writes) {
        const testing::FileSizeLimit fullDisk(0);
        try {
            write();
            ADD_FAILURE() << name << " was not refused";
        } catch (const std::exception& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + AccountsPath()) << name;
        }
        EXPECT_EQ(ReadFile("accounts.ini"), before) << name;
    }
}

}  // namespace
}  // namespace sievo
