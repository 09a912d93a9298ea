#pragma once

#include <cstdint>
#include <string>

namespace sievo {

class MailboxSession;

// Finds out whether a POP3 server offers TLS: POP3S first, then STLS on the plain port,
// each with the trusted certificates verified. The waits pump events, so the window that
// runs it stays usable; Cancel ends it at once.
class SecurityProbe {
public:
    enum class Outcome { Ssl, StartTls, None, Canceled };
    struct Ports {
        std::uint16_t ssl = 995;
        std::uint16_t plain = 110;
    };
    static constexpr int kTimeOutSeconds = 15;

    // The server's host (a ":port" in it is ignored: the ports are the probe's).
    Outcome Run(const std::string& server, const std::string& user, const std::string& password,
                Ports ports);
    void Cancel();
    bool Running() const { return running_ != nullptr; }

private:
    // Whether a session with this security got as far as an encrypted connection; a
    // refused log-in still counts, as the security is what is being found out.
    bool Encrypts(const std::string& address, bool startTls, const std::string& user,
                  const std::string& password);

    MailboxSession* running_ = nullptr;
    bool canceled_ = false;
};

// The host part of "host" or "host:port".
std::string HostOfServer(const std::string& server);

}  // namespace sievo
