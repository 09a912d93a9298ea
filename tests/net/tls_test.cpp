#include <cstdlib>

#include "config/file_io.h"
#include "net/ag_socket.h"
#include "net/net_errors.h"
#include "scripted_server.h"
#include "socket_recording.h"
#include "test_certificates.h"

namespace sievo {
namespace {

using testing::ScriptedServer;

class TlsTest : public testing::TlsServerTest {
protected:
    void SetUp() override {
        TlsServerTest::SetUp();
        server.SetTlsIdentity(certificates().ServerCertificate(), certificates().ServerKey());
        testing::RecordErrors(socket, errors);
        socket.Service = "pop3";
        socket.Server = "localhost:" + std::to_string(server.Port());
    }

    static void TrustCa(const std::string& path) { setenv(kCaFileVariable, path.c_str(), 1); }

    // The connection must have failed closed with a handshake error naming the reason.
    void ExpectFailedClosed(const std::string& reasonPart) {
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].rfind("TLS handshake failed: ", 0), 0u) << errors[0];
        EXPECT_NE(errors[0].find(reasonPart), std::string::npos) << errors[0];
        EXPECT_FALSE(socket.Connected());
    }

    // Connecting over TLS must fail so.
    void ExpectConnectFailsClosed(const std::string& reasonPart) {
        socket.Security = TlsMode::Ssl;
        socket.Open();
        EXPECT_THROW(socket.ConnectSocket(), ESocketError);
        ExpectFailedClosed(reasonPart);
    }

    ScriptedServer server;
    TagSocket socket;
    std::vector<std::string> errors;
};

TEST_F(TlsTest, AServerCertificateFromAnotherCaFailsClosed) {
    TrustCa(certificates().OtherCaFile());
    server.StartTls().Send("+OK never read\r\n");
    ExpectConnectFailsClosed("certificate");
}

TEST_F(TlsTest, APlainServerOnATlsPortFailsClosed) {
    server.Send("+OK I speak no TLS\r\n");
    ExpectConnectFailsClosed("");
}

TEST_F(TlsTest, PlainTextSentAheadOfTheHandshakeIsRefused) {
    // The second line would otherwise be read as if it had come over TLS.
    server.Send("+OK begin TLS\r\n+OK injected\r\n").StartTls();
    socket.Open();
    socket.ConnectSocket();
    std::string line;
    socket.ReadLine(line);
    EXPECT_EQ(line, "+OK begin TLS");
    EXPECT_THROW(socket.StartTls(), ESocketError);
    ExpectFailedClosed("the server sent data before the handshake");
}

TEST_F(TlsTest, ACaFileWithoutCertificatesFailsClosed) {
    ASSERT_TRUE(WriteFileAtomically(PathOf("empty.pem"), "not a certificate\n"));
    TrustCa(PathOf("empty.pem"));
    server.StartTls();
    ExpectConnectFailsClosed("no CA certificate in " + PathOf("empty.pem"));
}

}  // namespace
}  // namespace sievo
