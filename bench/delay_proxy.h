#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace sievo::bench {

// A TCP proxy on 127.0.0.1 that holds every byte for a fixed time in each direction, as
// a link with that one-way delay and plenty of bandwidth would. It serves connections one
// after another, each on threads of its own, so the client's event loop is not involved.
// It counts round trips: a burst from the client that follows data from the server (or
// the connection's start) is one, however many commands it carries.
class DelayProxy {
public:
    DelayProxy(std::uint16_t targetPort, std::chrono::milliseconds oneWayDelay);
    ~DelayProxy();
    DelayProxy(const DelayProxy&) = delete;
    DelayProxy& operator=(const DelayProxy&) = delete;

    std::uint16_t Port() const { return port_; }
    // Round trips on every connection so far.
    int RoundTrips() const { return roundTrips_; }

private:
    // Per connection: whether the server has sent data since the client last did.
    using ServerSpoke = std::shared_ptr<std::atomic<bool>>;

    void AcceptLoop();
    void Relay(int from, int to, const ServerSpoke& serverSpoke, bool fromClient);

    std::uint16_t targetPort_;
    std::chrono::milliseconds delay_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> roundTrips_{0};
    std::vector<int> sockets_;  // closed once every relay has ended
    std::vector<std::thread> relays_;
    std::thread acceptor_;
};

}  // namespace sievo::bench
