#include "engine/connection.h"

#include <cstdlib>

#include "config/account.h"
#include "config/activity_log.h"
#include "config/ini_file.h"
#include "config/settings.h"
#include "net/ag_ras.h"
#include "recording_host.h"
#include "temp_home.h"

namespace sievo {
namespace {

// A fake nmcli: the profiles and active connections come from files the test writes;
// "connection up" succeeds and is recorded.
constexpr const char* kFakeNmcli = R"sh(#!/bin/sh
dir=$(dirname "$0")
case "$*" in
  "-t -f NAME,TYPE connection show") printf 'Home WiFi:802-11-wireless\nMobile Modem:gsm\n' ;;
  "-t -f NAME,TYPE,DEVICE connection show --active") cat "$dir/active" ;;
  *"connection up"*) echo "$*" >> "$dir/dialled"; echo "Connection successfully activated" ;;
esac
)sh";

class ConnectionTest : public testing::TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        WriteProgram("nmcli", kFakeNmcli);
        WriteFile("active", "Home WiFi:802-11-wireless:wlan0\n");
        setenv(kNmcliVariable, PathOf("nmcli").c_str(), 1);
        TIniFile(settings::SettingsPath()).WriteBool("LogFile", "Verbose", true);
        TheActivityLog().Open();
        ras = std::make_unique<TagRas>();
        guard = std::make_unique<ConnectionGuard>(*ras);
    }
    void TearDown() override {
        guard.reset();
        ras.reset();
        unsetenv(kNmcliVariable);
        TempHomeTest::TearDown();
    }
    TSievoUser Account(const char* method, const char* service = "mobile modem") {
        const TIniFile ini(AccountsPath());
        ini.WriteString("USER1", "Method", method);
        ini.WriteString("USER1", "Service", service);
        return TSievoUser(1);
    }
    std::string Dialled() const { return ReadFile("dialled"); }

    testing::RecordingHost host;
    std::unique_ptr<TagRas> ras;
    std::unique_ptr<ConnectionGuard> guard;
};

// A manual account asked for by the user dials as a RAS account does.
TEST_F(ConnectionTest, ManualAccountsWaitForAConnectionUnlessTheUserAsks) {
    TSievoUser automatic = Account("manual");
    EXPECT_EQ(guard->EnsureConnection(automatic, ""), -1);
    EXPECT_EQ(automatic.Method, "MANUAL");
    EXPECT_EQ(Dialled(), "<missing>");

    TSievoUser manual = Account("MANUAL");
    EXPECT_EQ(guard->EnsureConnection(manual, "SINGLEPASS"), 0);
    EXPECT_EQ(manual.Method, "RAS");  // in memory only
    EXPECT_EQ(TIniFile(AccountsPath()).ReadString("USER1", "Method", ""), "MANUAL");
    EXPECT_NE(Dialled().find("connection up id Mobile Modem"), std::string::npos) << Dialled();
    EXPECT_NE(TheActivityLog().Lines().back().find("DUN Status -- "), std::string::npos);
}

TEST_F(ConnectionTest, LanAccountsOrAnActiveDialUpConnectionWhateverItsNameNeverDial) {
    TSievoUser lan = Account("LAN");
    EXPECT_EQ(guard->EnsureConnection(lan, ""), 0);
    EXPECT_FALSE(guard->IsDialUpConnected());  // Wi-Fi is no dial-up connection

    WriteFile("active", "Other Modem:gsm:ttyUSB1\n");
    TSievoUser ras = Account("RAS");
    EXPECT_TRUE(guard->IsDialUpConnected());
    EXPECT_EQ(guard->EnsureConnection(ras, ""), 0);
    TSievoUser manual = Account("MANUAL");
    EXPECT_EQ(guard->EnsureConnection(manual, ""), 0);
    EXPECT_EQ(Dialled(), "<missing>");
}

}  // namespace
}  // namespace sievo
