#include "net/ag_http.h"
#include "net/http_url.h"
#include "net/net_errors.h"
#include "scripted_server.h"
#include "socket_recording.h"
#include "test_certificates.h"

namespace sievo {
namespace {

using testing::ScriptedServer;

TEST(HttpUrlTest, SplitsServerPathAndFileName) {
    const struct {
        std::string url;
        bool secure;
        std::string server, path, fileName;
    } cases[] = {
        {"http://www.example.org", false, "www.example.org", "/", ""},
        {"HTTP://host:8080/spam/sievo.lst", false, "host:8080", "/spam/sievo.lst", "sievo.lst"},
        {"http://host/v1.2/", false, "host", "/v1.2/", "index.html"},
        {"http://host/updates/latest", false, "host", "/updates/latest", ""},
        {"https://host/updates.ini", true, "host", "/updates.ini", "updates.ini"},
    };
    for (const auto& c : cases) {
        const auto parts = ParseHttpUrl(c.url);
        ASSERT_TRUE(parts) << c.url;
        EXPECT_EQ(parts->secure, c.secure) << c.url;
        EXPECT_EQ(parts->server, c.server) << c.url;
        EXPECT_EQ(parts->path, c.path) << c.url;
        EXPECT_EQ(parts->fileName, c.fileName) << c.url;
    }
    EXPECT_FALSE(ParseHttpUrl("ftp://host/file.txt"));
    EXPECT_FALSE(ParseHttpUrl("www.example.org/file.txt"));
}

class HttpTest : public testing::TlsServerTest {
protected:
    HttpTest() { testing::RecordErrors(http, errors); }

    std::string Body() { return http.Data().data().toStdString(); }

    TagHTTP http;
    std::vector<std::string> errors;
    ScriptedServer server;
};

TEST_F(HttpTest, ChunkedBodyArrivesWithoutTheChunkLines) {
    server.ReadThrough("")
        .Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n5;name=value\r\nhello\r\n")
        .Send("7\r\n, world\r\n0\r\n\r\n");
    http.SetURL("http://" + server.Address() + "/list.txt");
    EXPECT_EQ(http.Get(), 200);
    EXPECT_EQ(Body(), "hello, world");
    EXPECT_EQ(server.Received()[0], "GET /list.txt HTTP/1.1");
    EXPECT_EQ(server.Received()[1], "Host: " + server.Address());
}

TEST_F(HttpTest, ProxyGetsTheWholeAddressAndTheBodyIsReadToTheClose) {
    server.ReadThrough("").Send("HTTP/1.0 200 OK\r\n\r\nbody without a length").Close();
    http.SetURL("http://updates.example.org/spam/sievo.lst");
    http.SetProxy(server.Address());  // the server plays the proxy
    EXPECT_EQ(http.Get(), 200);
    EXPECT_EQ(Body(), "body without a length");
    EXPECT_EQ(server.Received()[0], "GET http://updates.example.org/spam/sievo.lst HTTP/1.1");
    EXPECT_EQ(server.Received()[1], "Host: updates.example.org");
}

TEST_F(HttpTest, BodiesCutShortAreErrorsNotResults) {
    const std::string responses[] = {
        "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly ten..",
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n",
        "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n",
    };
    for (const auto& response : responses) {
        ScriptedServer cutShort;
        cutShort.ReadThrough("").Send(response).Close();
        http.SetURL("http://" + cutShort.Address() + "/sievo.lst");
        EXPECT_THROW(http.Get(), ESocketError) << response;
        EXPECT_EQ(errors.back(), "Connection closed before the end of the data");
    }
}

// Every byte arrives well within the time-out, but the whole body cannot.
TEST_F(HttpTest, ATricklingBodyEndsAtTheDeadlineOfTheWholeBody) {
    server.ReadThrough("")
        .Send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n")
        .SendForever("x", std::chrono::milliseconds(100));
    http.SetURL("http://" + server.Address() + "/sievo.lst");
    http.SetTimeOut(1);
    EXPECT_THROW(http.Get(), ETimedOutError);
    EXPECT_EQ(errors.back(), "Operation timed out");
}

TEST_F(HttpTest, HttpsIsFetchedOverVerifiedTls) {
    server.SetTlsIdentity(certificates().ServerCertificate(), certificates().ServerKey());
    // A body of many reads, its length under a header name in lower case.
    std::string list;
    for (int i = 0; i < 5000; ++i)
        list += "spammer" + std::to_string(i) + "@example.com\r\n";
    server.StartTls()
        .ReadThrough("")
        .Send("HTTP/1.1 200 OK\r\ncontent-length: " + std::to_string(list.size()) + "\r\n\r\n")
        .Send(list);
    http.SetURL("https://localhost:" + std::to_string(server.Port()) + "/sievo.lst");
    EXPECT_EQ(http.Get(), 200);
    EXPECT_EQ(Body(), list);

    http.SetProxy("proxy.example.org:3128");
    EXPECT_THROW(http.Get(), ESocketError);
    EXPECT_EQ(errors.back(), "HTTPS through a proxy is not supported");
}

}  // namespace
}  // namespace sievo
