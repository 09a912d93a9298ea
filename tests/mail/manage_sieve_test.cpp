#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mail/ms_manage_sieve.h"
#include "net/net_errors.h"
#include "scripted_server.h"
#include "socket_recording.h"
#include "temp_home.h"

namespace sievo {
namespace {

using testing::ScriptedServer;

constexpr const char* kCapabilities =
    "\"IMPLEMENTATION\" \"Test\"\r\n\"SASL\" \"PLAIN\"\r\n"
    "\"SIEVE\" \"fileinto regex vacation\"\r\n";

// Over TLS the client meets a real server in the installation's end-to-end test; here the
// faults a real server will not produce.
class ManageSieveTest : public testing::TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        testing::RecordErrors(client, errors);
        client.Server = server.Address();
        client.UserName = "sam";
        client.Password = "secret";
        client.AllowPlainTextLogin = true;
    }

    void ScriptLogin() {
        server.Send(std::string(kCapabilities) + "OK \"Ready\"\r\n")
            .ReadLine()
            .Send("OK \"Logged in\"\r\n");
    }

    ScriptedServer server;
    TmsManageSieve client;
    std::vector<std::string> errors;
};

TEST_F(ManageSieveTest, ARefusedScriptIsReportedAsTheServerWroteIt) {
    const std::string refusal = "line 3: error: unknown command 'fileint'.\r\n";
    ScriptLogin();
    server.ReadLine()
        .Send("\"mine\"\r\n{3}\r\nold ACTIVE\r\nOK\r\n")
        .ReadLine()
        .ReadLine()
        .Send("NO {" + std::to_string(refusal.size()) + "}\r\n" + refusal + "\r\n");
    client.Open();
    client.Login();
    EXPECT_EQ(client.ActiveScript(), "old");
    EXPECT_THAT([&] { client.CheckScript("fileint;"); },
                ::testing::ThrowsMessage<EServerError>(::testing::StrEq(refusal)));
    ASSERT_TRUE(server.WaitFinished());
}

TEST_F(ManageSieveTest, WithoutSTARTTLSThePasswordIsNeverSent) {
    server.Send(std::string(kCapabilities) + "OK \"Ready\"\r\n").ReadUntilClosed();
    client.Security = TlsMode::StartTls;
    client.Open();
    EXPECT_THROW(client.Login(), ESocketError);
    ASSERT_TRUE(server.WaitFinished());
    EXPECT_TRUE(server.Received().empty());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("does not offer STARTTLS"), std::string::npos) << errors[0];
}

TEST_F(ManageSieveTest, AConnectionBrokenDuringTheUploadEndsTheSession) {
    ScriptLogin();
    server.ReadLine().ReadLine().Close();
    client.Open();
    client.Login();
    EXPECT_THROW(client.PutScript("sievomatic", "keep;"), ESocketError);
    EXPECT_FALSE(client.Connected());
    ASSERT_TRUE(server.WaitFinished());
    EXPECT_EQ(server.Received()[1], "PUTSCRIPT \"sievomatic\" {5+}");
}

}  // namespace
}  // namespace sievo
