#include "config/account.h"

#include <QDir>
#include <QLocale>

#include "config/date_time.h"
#include "config/password.h"
#include "temp_home.h"

namespace sievo {
namespace {

class AccountTest : public testing::TempHomeTest {
protected:
    void TearDown() override {
        QLocale::setDefault(QLocale::c());
        TempHomeTest::TearDown();
    }
};

TEST_F(AccountTest, KeysAreReadWithTheirOwnRules) {
    WriteAccount(2, {{"Method", "ras"},
                     {"Service", "My Dialup"},
                     {"Password", ""},
                     {"ClearPassword", "plain pw"},
                     {"Active", "0"},
                     {"Minutes", "0x3C"},
                     {"POPSecurity", "starttls"},
                     {"SMTPSecurity", "none"},
                     {"SMTPPassword", PasswordToIni("smtp pw")}});

    const TSievoUser user(2);
    EXPECT_EQ(user.Method, "RAS");
    EXPECT_EQ(user.Service, "MY DIALUP");
    EXPECT_EQ(user.Password, "plain pw");
    EXPECT_FALSE(user.Active);
    EXPECT_EQ(user.Minutes, 60);
    EXPECT_EQ(user.POPSecurity, "STARTTLS");
    EXPECT_EQ(user.SMTPSecurity, "NONE");
    EXPECT_TRUE(user.SMTPSecurityExplicit);
    EXPECT_EQ(user.SMTPPassword, "smtp pw");
    // Retrieved messages wait in the data folder's temp/ on their way to the Trash.
    EXPECT_EQ(user.TempPath, Home() + "temp/");
    EXPECT_TRUE(QDir(QString::fromStdString(user.TempPath)).exists());
}

TEST_F(AccountTest, NextDateTimeIsReadInTheUsersLocaleElseTheAccountIsDueNow) {
    const QDateTime when(QDate(2026, 3, 29), QTime(14, 5, 9));
    for (const char* name : {"en_US", "de_DE", "fr_FR", "ja_JP"}) {
        QLocale::setDefault(QLocale(name));
        WriteAccount(1, {{"NextDateTime", FormatDateTimeText(when)}});
        EXPECT_EQ(TSievoUser(1).NextDateTime, when) << name << ' ' << FormatDateTimeText(when);
    }
    // Midnight is written without its time and still reads back.
    const QDateTime midnight(QDate(2026, 12, 31), QTime(0, 0));
    WriteAccount(1, {{"NextDateTime", FormatDateTimeText(midnight)}});
    EXPECT_EQ(TSievoUser(1).NextDateTime, midnight);

    // A later date written in another locale, or garbage, cannot be read here.
    QLocale::setDefault(QLocale("de_DE"));
    const std::string germanText = FormatDateTimeText(QDateTime(QDate(2031, 1, 2), QTime(3, 4, 5)));
    QLocale::setDefault(QLocale("en_US"));
    for (const std::string& stored : {germanText, std::string("garbage")}) {
        WriteAccount(1, {{"NextDateTime", stored}});
        // Read first: the account's "now" must not be taken after the bound it is held to.
        const QDateTime read = TSievoUser(1).NextDateTime;
        EXPECT_LE(read, QDateTime::currentDateTime()) << stored;
    }
}

}  // namespace
}  // namespace sievo
