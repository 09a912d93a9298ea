#pragma once

#include <cstdint>
#include <string>

namespace sievo {

class MailboxSession;

// Finds out how to reach a mailbox securely: IMAPS first, then IMAP with STARTTLS, then
// POP3S, then POP3 with STLS, each with the trusted certificates verified. IMAP comes
// first because it leaves the messages it judges unread and moves spam aside instead of
// deleting it. The waits pump events, so the window that runs it stays usable; Cancel
// ends it at once.
class SecurityProbe {
public:
    enum class Outcome { ImapSsl, ImapStartTls, Ssl, StartTls, None, Canceled };
    struct Ports {
        std::uint16_t imapSsl = 993;
        std::uint16_t imapPlain = 143;
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
    // Whether a session of this kind got as far as an encrypted connection; a refused
    // log-in still counts, as the security is what is being found out.
    bool Encrypts(Outcome kind, const std::string& address, const std::string& user,
                  const std::string& password);

    MailboxSession* running_ = nullptr;
    bool canceled_ = false;
};

// Whether the outcome is an IMAP one, and the POPSecurity text it stands for ("" for none).
bool IsImapOutcome(SecurityProbe::Outcome outcome);
std::string SecurityOfOutcome(SecurityProbe::Outcome outcome);

// The host part of "host" or "host:port".
std::string HostOfServer(const std::string& server);

}  // namespace sievo
