// Peak memory of a listing against a hostile POP3 server, which runs in a child process so
// that its own buffers do not count: one message whose header block is 200 MB, or one
// whose header block never ends, between two ordinary messages.
// Usage: hostile_bench huge|endless [time-out seconds]
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/errors.h"
#include "mail/ms_remote_pop.h"
#include "resource_usage.h"

namespace {

using namespace sievo;

constexpr long long kHugeHeaderBytes = 200LL * 1000 * 1000;
constexpr int kDefaultTimeOut = 120;  // the program's own
constexpr std::size_t kChunkFields = 800;

// The ordinary messages are 1 and 3; message 2 is the hostile one.
constexpr int kMessages = 3;

class Connection {
public:
    explicit Connection(int fd) : fd_(fd) {}
    ~Connection() { close(fd_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool Send(const std::string& bytes) {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    // The next command without CR LF; empty when the client has gone.
    std::string ReadLine() {
        for (;;) {
            const auto end = pending_.find("\r\n");
            if (end != std::string::npos) {
                std::string line = pending_.substr(0, end);
                pending_.erase(0, end + 2);
                return line;
            }
            char buffer[4096];
            const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0)
                return {};
            pending_.append(buffer, static_cast<std::size_t>(n));
        }
    }

private:
    int fd_;
    std::string pending_;
};

std::string FieldChunk() {
    std::string chunk;
    for (std::size_t i = 0; i < kChunkFields; ++i)
        chunk += "X-Filler: " + std::string(70, 'f') + "\r\n";
    return chunk;
}

void SendHostileBlock(Connection& client, bool endless) {
    const std::string chunk = FieldChunk();
    if (!client.Send("+OK\r\nSubject: hostile\r\n"))
        return;
    for (long long sent = 0; endless || sent < kHugeHeaderBytes;
         sent += static_cast<long long>(chunk.size())) {
        if (!client.Send(chunk))
            return;
    }
    client.Send("\r\nbody\r\n.\r\n");
}

std::string Reply(const std::string& command) {
    if (command == "STAT")
        return "+OK " + std::to_string(kMessages) + " 1000\r\n";
    if (command == "CAPA")
        return "+OK\r\nTOP\r\nUIDL\r\n.\r\n";
    if (command == "UIDL" || command == "LIST") {
        std::string reply = "+OK\r\n";
        for (int n = 1; n <= kMessages; ++n)
            reply += std::to_string(n) + (command == "UIDL" ? " id" : " ") + std::to_string(n) +
                     "00\r\n";
        return reply + ".\r\n";
    }
    if (command.starts_with("TOP "))
        return "+OK\r\nSubject: " + command.substr(4, 1) + "\r\n\r\nbody\r\n.\r\n";
    return "+OK\r\n";
}

[[noreturn]] void Serve(int listener, bool endless) {
    Connection client(accept(listener, nullptr, nullptr));
    close(listener);
    client.Send("+OK ready\r\n");
    for (std::string command = client.ReadLine(); !command.empty(); command = client.ReadLine()) {
        if (command == "TOP 2 1")
            SendHostileBlock(client, endless);
        else if (!client.Send(Reply(command)) || command == "QUIT")
            break;
    }
    std::_Exit(EXIT_SUCCESS);
}

int Listen(std::uint16_t& port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(fd, 1) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("listen");
        std::exit(EXIT_FAILURE);
    }
    port = ntohs(address.sin_port);
    return fd;
}

}  // namespace

using sievo::bench::PeakMegabytes;

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode != "huge" && mode != "endless") {
        std::fprintf(stderr, "usage: hostile_bench huge|endless [time-out seconds]\n");
        return EXIT_FAILURE;
    }
    const int timeOut = argc > 2 ? std::atoi(argv[2]) : kDefaultTimeOut;
    std::uint16_t port = 0;
    const int listener = Listen(port);
    const pid_t server = fork();
    if (server == 0)
        Serve(listener, mode == "endless");
    close(listener);

    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    TmsRemotePOP pop;
    pop.SetTimeOut(timeOut);
    pop.Server = "127.0.0.1:" + std::to_string(port);
    pop.UserName = "sam";
    pop.Password = "secret";
    pop.HeaderCacheFile = folder.path().toStdString() + "/headers.cache";
    pop.OnError = [](TagSocket&, const std::string& text) {
        std::printf("  error line: %s\n", text.c_str());
    };
    const long before = PeakMegabytes();
    const auto start = std::chrono::steady_clock::now();
    std::string outcome = "listed";
    try {
        pop.UpdateInfo();
    } catch (const Exception& error) {
        outcome = std::string("ended: ") + error.what();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const QFileInfo cache(folder.path() + "/headers.cache");
    std::printf(
        "%s header block, time-out %d s: %s after %.1f s, %d items, %lld bytes read, header "
        "cache %lld bytes; peak RSS %ld MB (%ld MB before the listing)\n",
        mode.c_str(), timeOut, outcome.c_str(), seconds, pop.RemoteInfo().Count(),
        static_cast<long long>(pop.BytesReceived()), static_cast<long long>(cache.size()),
        PeakMegabytes(), before);
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    return EXIT_SUCCESS;
}
