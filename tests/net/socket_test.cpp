#include <QBuffer>
#include <QTimer>

#include "net/ag_socket.h"
#include "net/ms_mail_base.h"
#include "net/net_errors.h"
#include "scripted_server.h"
#include "socket_recording.h"
#include "temp_home.h"

namespace sievo {
namespace {

using testing::ScriptedServer;

class SocketTest : public testing::TempHomeTest {
protected:
    // Connects the client to the server, recording its errors.
    void Connect(TagSocket& client) {
        testing::RecordErrors(client, errors);
        client.Server = server.Address();
        client.Open();
        client.ConnectSocket();
    }

    std::string ReadLine() {
        std::string line;
        socket.ReadLine(line);
        return line;
    }

    TagSocket socket;
    std::vector<std::string> errors;
    ScriptedServer server;
};

TEST_F(SocketTest, MultiLineRepliesAreReadWholeAndLeaveTheNextReplyInPlace) {
    server.Send("220-mail.example.org\r\n220-second line\r\n220 ready\r\n")
        .Send("250-first\r\n251 other code inside\r\n250\r\n")
        .Send("354 go ahead\r\n");
    Connect(socket);
    EXPECT_EQ(socket.ReadReply(), 220);
    EXPECT_EQ(socket.ReplyText(), "220 ready");
    // A final line may be the bare code; a line with another code does not end the reply.
    EXPECT_EQ(socket.ReadReply(), 250);
    EXPECT_EQ(socket.ReplyText(), "250");
    EXPECT_EQ(socket.ReadReply(), 354);
}

TEST_F(SocketTest, ReplyLinesAreReadWholeUpTo64KiBAndALongerOneEndsTheConnection) {
    const std::string longest(TagSocket::kMaxReplyLineBytes - 2, 'x');
    server.Send("+OK " + std::string(300, 'a') + "\r\n").Send(longest + "\r\n");
    server.Send(std::string(100000, 'y') + "\r\n");
    Connect(socket);
    EXPECT_EQ(ReadLine(), "+OK " + std::string(300, 'a'));
    EXPECT_EQ(ReadLine(), longest);
    EXPECT_THROW(ReadLine(), ESocketError);
    EXPECT_EQ(errors, std::vector<std::string>{"Reply line longer than 65536 bytes"});
    EXPECT_FALSE(socket.Connected());
}

TEST_F(SocketTest, DataBlocksEndAtTheTerminatorEvenEmptyOrSplitAcrossReads) {
    server.Send("+OK\r\n.\r\n")
        .Send(std::string("+OK\r\nline one\r\n..dotted\r\nzero\0byte\r\n.", 37))
        .Hold()
        .Send("\r\n+OK after\r\n");
    Connect(socket);
    QBuffer empty;
    empty.open(QIODevice::ReadWrite);
    EXPECT_EQ(ReadLine(), "+OK");
    socket.ReadToTerminator(empty, -1);
    EXPECT_TRUE(empty.data().isEmpty());
    EXPECT_EQ(ReadLine(), "+OK");
    // The rest of the terminator is sent only once the first part has been stored.
    socket.OnProgress = [&](TagSocket&, int percent, qint64) {
        EXPECT_EQ(percent, -1);
        if (!server.Finished())
            server.Resume();
    };
    QBuffer block;
    block.open(QIODevice::ReadWrite);
    socket.ReadToTerminator(block, -1);
    EXPECT_EQ(block.data().toStdString(), "line one\r\n..dotted\r\nzero byte\r\n");
    EXPECT_EQ(ReadLine(), "+OK after");
}

TEST_F(SocketTest, CancelFromAPendingEventEndsTheWait) {
    Connect(socket);
    int cancelEvents = 0;
    socket.OnCancel = [&](TagSocket&) { ++cancelEvents; };
    QTimer::singleShot(0, [this] { socket.Cancel(); });
    EXPECT_THROW(ReadLine(), ECanceledError);
    EXPECT_EQ(cancelEvents, 1);
    EXPECT_EQ(errors, std::vector<std::string>{"Operation has been canceled"});
    EXPECT_FALSE(socket.Connected());
}

TEST_F(SocketTest, SecretsAndLineBreaksNeverReachTheWireOrTheTranscript) {
    server.ReadLine().ReadLine().ReadLine();
    std::vector<std::string> sent;
    {
        TagSocket logged;
        logged.SetLogFileName(PathOf("transcript.log"));
        logged.OnLineSent = [&](TagSocket&, const std::string& line) { sent.push_back(line); };
        Connect(logged);
        logged.SendLine("USER bob");
        logged.SendSecretLine("PASS ", "hunter2");
        EXPECT_THROW(logged.SendLine("MAIL FROM:<a@b>\r\nRCPT TO:<victim@c>"), ESocketError);
        EXPECT_THROW(logged.SendSecretLine("AUTH PLAIN ", "x\ny"), ESocketError);
        logged.SendLine("QUIT");
        ASSERT_TRUE(server.WaitFinished());
    }
    EXPECT_EQ(server.Received(), (std::vector<std::string>{"USER bob", "PASS hunter2", "QUIT"}));
    EXPECT_EQ(sent, (std::vector<std::string>{"USER bob", "PASS ********", "QUIT"}));
    EXPECT_EQ(errors, std::vector<std::string>(2, "Command line contains a line break"));
    EXPECT_EQ(ReadFile("transcript.log"), "USER bob\nPASS ********\nQUIT\n");
}

// Records the order in which the socket uses its dial-up link.
class RecordingLink : public DialUpLink {
public:
    explicit RecordingLink(std::vector<std::string>& calls) : calls_(calls) {}
    void Connect() override { calls_.push_back("connect"); }
    void Release() override { calls_.push_back("release"); }

private:
    std::vector<std::string>& calls_;
};

class TestClient : public TmsMailBase {
public:
    explicit TestClient(std::vector<std::string>& calls) : calls_(calls) {}
    void Login() override {
        calls_.push_back("login");
        ConnectSocket();
    }
    void Logout() override {
        calls_.push_back("logout");
        SendLine("QUIT");
        std::string line;
        if (ReadLine(line) != 221)
            RaiseServerError(line);
    }

private:
    std::vector<std::string>& calls_;
};

TEST_F(SocketTest, MailBaseDialsFirstAndClosesEvenWhenTheLogoutFails) {
    server.ReadLine().Send("421 going away\r\n");
    std::vector<std::string> calls;
    RecordingLink link(calls);
    TestClient client(calls);
    client.RAS = &link;
    client.Server = server.Address();
    client.OnOpen = [&](TagSocket&) { calls.push_back("open"); };
    client.OnError = [&](TagSocket&, const std::string& text) { calls.push_back(text); };
    client.ConnectAndLogin();
    client.ConnectAndLogin();  // already connected: nothing happens
    EXPECT_THROW(client.LogoutAndClose(), EServerError);
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(calls, (std::vector<std::string>{"connect", "open", "login", "logout",
                                               "421 going away", "release"}));
}

}  // namespace
}  // namespace sievo
