#include "config/account.h"

#include <QDir>
#include <QLocale>

#include "config/date_time.h"
#include "config/ini_file.h"
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
    TIniFile Ini() const { return TIniFile(AccountsPath()); }
};

TEST_F(AccountTest, ASparseSectionIsActiveLanTenMinutesAndDueNow) {
    Ini().WriteString("USER1", "POPAddress", "pop.example.org");
    Ini().WriteString("USER1", "POPUser", "mailuser");
    Ini().WriteString("USER1", "Password", PasswordToIni("pw"));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);

    const TSievoUser user(1);
    const QDateTime after = QDateTime::currentDateTime();
    EXPECT_TRUE(user.Active);
    EXPECT_EQ(user.Method + "/" + user.Service, "LAN/LAN");
    EXPECT_EQ(user.Minutes, 10);
    EXPECT_EQ(user.Password, "pw");
    EXPECT_TRUE(user.MailNotify);
    EXPECT_FALSE(user.SMTPSecurityExplicit);
    EXPECT_GE(user.NextDateTime, before);
    EXPECT_LE(user.NextDateTime, after);
    EXPECT_EQ(user.TempPath, Home() + "temp/");
    EXPECT_TRUE(QDir(QString::fromStdString(user.TempPath)).exists());
}

TEST_F(AccountTest, KeysAreReadWithTheirOwnRules) {
    Ini().WriteString("USER2", "Method", "ras");
    Ini().WriteString("USER2", "Service", "My Dialup");
    Ini().WriteString("USER2", "Password", "");
    Ini().WriteString("USER2", "ClearPassword", "plain pw");
    Ini().WriteString("USER2", "Active", "0");
    Ini().WriteString("USER2", "Minutes", "0x3C");
    Ini().WriteString("USER2", "POPSecurity", "starttls");
    Ini().WriteString("USER2", "SMTPSecurity", "none");
    Ini().WriteString("USER2", "SMTPPassword", PasswordToIni("smtp pw"));

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
}

TEST_F(AccountTest, NextDateTimeIsReadInTheUsersLocaleElseTheAccountIsDueNow) {
    const QDateTime when(QDate(2026, 3, 29), QTime(14, 5, 9));
    for (const char* name : {"en_US", "de_DE", "fr_FR", "ja_JP"}) {
        QLocale::setDefault(QLocale(name));
        Ini().WriteString("USER1", "NextDateTime", FormatDateTimeText(when));
        EXPECT_EQ(TSievoUser(1).NextDateTime, when) << name << ' ' << FormatDateTimeText(when);
    }
    // Midnight is written without its time and still reads back.
    const QDateTime midnight(QDate(2026, 12, 31), QTime(0, 0));
    Ini().WriteString("USER1", "NextDateTime", FormatDateTimeText(midnight));
    EXPECT_EQ(TSievoUser(1).NextDateTime, midnight);

    // A later date written in another locale, or garbage, cannot be read here.
    QLocale::setDefault(QLocale("de_DE"));
    const std::string germanText = FormatDateTimeText(QDateTime(QDate(2031, 1, 2), QTime(3, 4, 5)));
    QLocale::setDefault(QLocale("en_US"));
    for (const std::string& stored : {germanText, std::string("garbage")}) {
        Ini().WriteString("USER1", "NextDateTime", stored);
        EXPECT_LE(TSievoUser(1).NextDateTime, QDateTime::currentDateTime()) << stored;
    }
}

}  // namespace
}  // namespace sievo
