#include <gmock/gmock.h>
#include <QTimer>

#include "fake_nmcli.h"
#include "net/ag_ras.h"
#include "net/net_errors.h"

namespace sievo {
namespace {

// Profiles as nmcli lists them in terse mode, a ":" in a name escaped.
constexpr const char* kProfiles = R"(Office VPN:vpn
Dial\:up line:ppp
Wired:802-3-ethernet
lo:loopback
)";

class RasTest : public testing::FakeNmcliTest {
protected:
    void SetUp() override {
        FakeNmcliTest::SetUp();
        WriteFile("profiles", kProfiles);
    }

    // Creates the component (it lists the entries at once) with recording handlers.
    std::unique_ptr<TagRas> MakeRas(const std::string& service) {
        auto ras = std::make_unique<TagRas>();
        ras->SetService(service);
        ras->OnStatusChange = [this](TagRas&, const std::string& text) { status.push_back(text); };
        ras->OnDisconnected = [this](TagRas&) { ++disconnects; };
        return ras;
    }

    std::vector<std::string> status;
    int disconnects = 0;
};

TEST_F(RasTest, EntriesAreTheProfilesAndTheServiceMustBeOneOfThem) {
    auto ras = MakeRas("Dial:up line");
    EXPECT_EQ(ras->Entries(), (std::vector<std::string>{"Office VPN", "Dial:up line", "Wired"}));
    EXPECT_EQ(ras->Service(), "Dial:up line");
    ras->SetService("Nowhere");
    EXPECT_EQ(ras->Service(), "");
}

TEST_F(RasTest, AnActiveConnectionIsUsedAndLeftAlone) {
    WriteFile("active", "lo:loopback:lo\nWired:802-3-ethernet:eth0\nDial\\:up line:ppp:ppp0\n");
    WriteFile("address-eth0", "192.168.1.5/24\n");
    auto byName = MakeRas("Dial:up line");
    byName->Connect();
    auto anyWithAddress = MakeRas("Office VPN");
    anyWithAddress->ForceService = false;
    anyWithAddress->Connect();
    EXPECT_TRUE(byName->Connected());
    EXPECT_TRUE(anyWithAddress->Connected());
    byName->Release();
    anyWithAddress->Release();
    EXPECT_FALSE(Called("connection up"));
    EXPECT_FALSE(Called("connection down"));
    EXPECT_EQ(disconnects, 0);
}

TEST_F(RasTest, DialsWhenOnlyLoopbackOrAddresslessConnectionsAreUpAndHangsUpItsOwn) {
    WriteFile("active", "lo:loopback:lo\nWired:802-3-ethernet:eth0\n");
    auto ras = MakeRas("Office VPN");
    ras->ForceService = false;
    ras->Connect();
    EXPECT_TRUE(ras->Connected());
    EXPECT_TRUE(Called("--wait 120 connection up id Office VPN"));
    EXPECT_EQ(status.back(), "Connected");
    EXPECT_NE(std::find(status.begin(), status.end(), "Connection activation in progress"),
              status.end());
    ras->Release();
    EXPECT_TRUE(Called("connection down id Office VPN"));
    EXPECT_EQ(disconnects, 1);
    EXPECT_FALSE(ras->Connected());
}

TEST_F(RasTest, AFailedDialRaisesTheServiceTextAndLeavesNothingUp) {
    WriteFile("up-exit", "4");
    auto ras = MakeRas("Office VPN");
    try {
        ras->Connect();
        ADD_FAILURE() << "the dial did not fail";
    } catch (const ERASError& error) {
        EXPECT_STREQ(error.what(), "Error: Connection activation failed: No carrier");
        EXPECT_EQ(error.Code(), 4);
    }
    EXPECT_TRUE(Called("connection down id Office VPN"));
    EXPECT_FALSE(ras->Connected());
}

TEST_F(RasTest, ADialReleasedFromAPendingEventEndsAsCanceled) {
    WriteFile("up-exit", "hang");
    auto ras = MakeRas("Office VPN");
    ras->SetTimeOut(600);
    // Posted once the dial runs, as a Cancel button would be pressed.
    ras->OnStatusChange = [&ras](TagRas&, const std::string&) {
        QTimer::singleShot(0, [&ras] { ras->Release(); });
    };
    EXPECT_THROW(ras->Connect(), ECanceledError);
    EXPECT_FALSE(ras->Connected());
}

TEST_F(RasTest, WithoutNetworkManagerNothingCountsAndDiallingSaysWhy) {
    auto ras = MakeRas("Office VPN");
    setenv(kNmcliVariable, PathOf("no-such-nmcli").c_str(), 1);
    auto missing = MakeRas("");
    EXPECT_FALSE(missing->Available());
    missing->Connect();  // no entry to dial: nothing happens
    EXPECT_THAT([&] { ras->Connect(); }, ::testing::ThrowsMessage<ERASError>(
                                             ::testing::StrEq("NetworkManager is not available")));
}

}  // namespace
}  // namespace sievo
