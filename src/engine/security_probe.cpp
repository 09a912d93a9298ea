#include "engine/security_probe.h"

#include "mail/mailbox_session.h"

namespace sievo {

std::string HostOfServer(const std::string& server) {
    const auto colon = server.find(':');
    // More than one colon is an IPv6 address without a port.
    if (colon == std::string::npos || server.find(':', colon + 1) != std::string::npos)
        return server;
    return server.substr(0, colon);
}

SecurityProbe::Outcome SecurityProbe::Run(const std::string& server, const std::string& user,
                                          const std::string& password, Ports ports) {
    canceled_ = false;
    const std::string host = HostOfServer(server);
    if (Encrypts(host + ':' + std::to_string(ports.ssl), false, user, password))
        return Outcome::Ssl;
    if (canceled_)
        return Outcome::Canceled;
    if (Encrypts(host + ':' + std::to_string(ports.plain), true, user, password))
        return Outcome::StartTls;
    return canceled_ ? Outcome::Canceled : Outcome::None;
}

bool SecurityProbe::Encrypts(const std::string& address, bool startTls, const std::string& user,
                             const std::string& password) {
    const auto session =
        MakePop3Session({address, user, password, startTls ? TlsMode::StartTls : TlsMode::Ssl});
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
