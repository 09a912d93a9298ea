#include "engine/security_probe.h"

#include "mail/mailbox_session.h"

namespace sievo {

namespace {

using Outcome = SecurityProbe::Outcome;

struct Attempt {
    Outcome outcome;
    std::uint16_t SecurityProbe::Ports::*port;
};

// In the order tried.
constexpr Attempt kAttempts[] = {
    {Outcome::ImapSsl, &SecurityProbe::Ports::imapSsl},
    {Outcome::ImapStartTls, &SecurityProbe::Ports::imapPlain},
    {Outcome::Ssl, &SecurityProbe::Ports::ssl},
    {Outcome::StartTls, &SecurityProbe::Ports::plain},
};

bool UsesStartTls(Outcome outcome) {
    return outcome == Outcome::ImapStartTls || outcome == Outcome::StartTls;
}

}  // namespace

bool IsImapOutcome(Outcome outcome) {
    return outcome == Outcome::ImapSsl || outcome == Outcome::ImapStartTls;
}

std::string SecurityOfOutcome(Outcome outcome) {
    if (outcome == Outcome::None || outcome == Outcome::Canceled)
        return "";
    return UsesStartTls(outcome) ? "STARTTLS" : "SSL";
}

std::string HostOfServer(const std::string& server) {
    const auto colon = server.find(':');
    // More than one colon is an IPv6 address without a port.
    if (colon == std::string::npos || server.find(':', colon + 1) != std::string::npos)
        return server;
    return server.substr(0, colon);
}

Outcome SecurityProbe::Run(const std::string& server, const std::string& user,
                           const std::string& password, Ports ports) {
    canceled_ = false;
    const std::string host = HostOfServer(server);
    for (const Attempt& attempt : kAttempts) {
        const std::string address = host + ':' + std::to_string(ports.*attempt.port);
        if (Encrypts(attempt.outcome, address, user, password))
            return attempt.outcome;
        if (canceled_)
            return Outcome::Canceled;
    }
    return Outcome::None;
}

bool SecurityProbe::Encrypts(Outcome kind, const std::string& address, const std::string& user,
                             const std::string& password) {
    const MailboxLogin login{address, user, password,
                             UsesStartTls(kind) ? TlsMode::StartTls : TlsMode::Ssl};
    const auto session = IsImapOutcome(kind) ? MakeImapSession(login) : MakePop3Session(login);
    session->SetTimeOut(kTimeOutSeconds);
    running_ = session.get();
    bool encrypted = false;
    try {
        session->Connect();
        encrypted = session->Encrypted();
        session->Commit();
    } catch (const std::exception&) {
        // Only how far the session got matters here; the reason is not shown.
        encrypted = encrypted || session->Encrypted();
        session->Cancel();
    }
    running_ = nullptr;
    return encrypted && !canceled_;
}

void SecurityProbe::Cancel() {
    canceled_ = true;
    if (running_)
        running_->Cancel();
}

}  // namespace sievo
