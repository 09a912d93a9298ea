#include "delay_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <string>

namespace sievo::bench {

namespace {

constexpr std::size_t kReadBytes = 65536;
// How often the accept loop looks whether the proxy is being shut down.
constexpr int kAcceptPollMs = 50;

using Clock = std::chrono::steady_clock;

sockaddr_in Loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

void NoDelay(int fd) {
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

// The chunks read from one side, each to be written to the other once it is due.
class DelayLine {
public:
    void Push(std::string chunk, Clock::time_point due) {
        const std::lock_guard lock(mutex_);
        chunks_.push_back({std::move(chunk), due});
        ready_.notify_one();
    }

    // An empty chunk is the end of the data.
    std::string PopWhenDue() {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return !chunks_.empty(); });
        const Clock::time_point due = chunks_.front().due;
        lock.unlock();
        std::this_thread::sleep_until(due);
        lock.lock();
        std::string chunk = std::move(chunks_.front().bytes);
        chunks_.pop_front();
        return chunk;
    }

private:
    struct Chunk {
        std::string bytes;
        Clock::time_point due;
    };
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Chunk> chunks_;
};

}  // namespace

DelayProxy::DelayProxy(std::uint16_t targetPort, std::chrono::milliseconds oneWayDelay)
    : targetPort_(targetPort), delay_(oneWayDelay) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener_, SOMAXCONN) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("the delay proxy cannot listen");
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

DelayProxy::~DelayProxy() {
    stopping_ = true;
    acceptor_.join();
    for (auto& relay : relays_)
        relay.join();
    for (const int fd : sockets_)
        close(fd);
    close(listener_);
}

void DelayProxy::AcceptLoop() {
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (poll(&waiting, 1, kAcceptPollMs) < 1)
            continue;
        const int client = accept(listener_, nullptr, nullptr);
        const int server = socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in target = Loopback(targetPort_);
        if (client < 0 || server < 0 ||
            connect(server, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0)
            throw std::runtime_error("the delay proxy cannot reach its server");
        sockets_.insert(sockets_.end(), {client, server});
        NoDelay(client);
        NoDelay(server);
        const auto serverSpoke = std::make_shared<std::atomic<bool>>(true);
        relays_.emplace_back(
            [this, client, server, serverSpoke] { Relay(client, server, serverSpoke, true); });
        relays_.emplace_back(
            [this, client, server, serverSpoke] { Relay(server, client, serverSpoke, false); });
    }
}

void DelayProxy::Relay(int from, int to, const ServerSpoke& serverSpoke, bool fromClient) {
    DelayLine line;
    std::thread writer([&] {
        for (std::string chunk = line.PopWhenDue(); !chunk.empty(); chunk = line.PopWhenDue()) {
            for (std::size_t done = 0; done < chunk.size();) {
                const ssize_t written =
                    send(to, chunk.data() + done, chunk.size() - done, MSG_NOSIGNAL);
                if (written <= 0)
                    return;
                done += static_cast<std::size_t>(written);
            }
        }
        shutdown(to, SHUT_WR);
    });
    std::string buffer(kReadBytes, '\0');
    for (;;) {
        const ssize_t got = recv(from, buffer.data(), buffer.size(), 0);
        const Clock::time_point due = Clock::now() + delay_;
        if (got > 0 && !fromClient)
            *serverSpoke = true;
        else if (got > 0 && serverSpoke->exchange(false))
            ++roundTrips_;
        line.Push(got > 0 ? buffer.substr(0, static_cast<std::size_t>(got)) : std::string(), due);
        if (got <= 0)
            break;
    }
    writer.join();
    // Both directions are done once each has seen its end; the later one closes.
    shutdown(from, SHUT_RD);
}

}  // namespace sievo::bench
