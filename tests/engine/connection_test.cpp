#include "engine/connection.h"

#include "config/account.h"
#include "config/activity_log.h"
#include "config/ini_file.h"
#include "config/settings.h"
#include "fake_nmcli.h"
#include "net/ag_ras.h"
#include "recording_user.h"
#include "store/accounts_store.h"

namespace sievo {
namespace {

class ConnectionTest : public testing::FakeNmcliTest {
protected:
    void SetUp() override {
        FakeNmcliTest::SetUp();
        WriteFile("profiles", "Home WiFi:802-11-wireless\nMobile Modem:gsm\n");
        WriteFile("active", "Home WiFi:802-11-wireless:wlan0\n");
        TIniFile(settings::SettingsPath()).WriteBool("LogFile", "Verbose", true);
        TheActivityLog().Open();
        ras = std::make_unique<TagRas>();
        guard = std::make_unique<ConnectionGuard>(*ras, user);
    }
    void TearDown() override {
        guard.reset();
        ras.reset();
        FakeNmcliTest::TearDown();
    }
    TSievoUser Account(const char* method, const char* service = "mobile modem") {
        WriteAccount(1, {{"Method", method}, {"Service", service}});
        return accounts::ForCheck(1);
    }

    testing::RecordingUser user;
    std::unique_ptr<TagRas> ras;
    std::unique_ptr<ConnectionGuard> guard;
};

// A manual account asked for by the user dials as a RAS account does.
TEST_F(ConnectionTest, ManualAccountsWaitForAConnectionUnlessTheUserAsks) {
    TSievoUser automatic = Account("manual");
    EXPECT_EQ(guard->EnsureConnection(automatic, PassMode::kScheduled), -1);
    EXPECT_EQ(automatic.Method, "MANUAL");
    EXPECT_FALSE(Called("connection up"));

    TSievoUser manual = Account("MANUAL");
    EXPECT_EQ(guard->EnsureConnection(manual, PassMode::kUserStarted), 0);
    EXPECT_EQ(manual.Method, "RAS");  // in memory only
    EXPECT_EQ(TIniFile(AccountsPath()).ReadString("USER1", "Method", ""), "MANUAL");
    EXPECT_TRUE(Called("connection up id Mobile Modem"));
    EXPECT_NE(TheActivityLog().Lines().back().find("DUN Status -- "), std::string::npos);
}

TEST_F(ConnectionTest, LanAccountsOrAnActiveDialUpConnectionWhateverItsNameNeverDial) {
    TSievoUser lan = Account("LAN");
    EXPECT_EQ(guard->EnsureConnection(lan, PassMode::kScheduled), 0);
    EXPECT_FALSE(guard->IsDialUpConnected());  // Wi-Fi is no dial-up connection

    WriteFile("active", "Other Modem:gsm:ttyUSB1\n");
    TSievoUser ras = Account("RAS");
    EXPECT_TRUE(guard->IsDialUpConnected());
    EXPECT_EQ(guard->EnsureConnection(ras, PassMode::kScheduled), 0);
    TSievoUser manual = Account("MANUAL");
    EXPECT_EQ(guard->EnsureConnection(manual, PassMode::kScheduled), 0);
    EXPECT_FALSE(Called("connection up"));
}

}  // namespace
}  // namespace sievo
