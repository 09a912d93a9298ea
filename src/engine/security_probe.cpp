#include "ui/accounts/security_probe.h"

#include "mail/ms_remote_pop.h"

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
    TmsRemotePOP pop;
    pop.Server = address;
    pop.UserName = user;
    pop.Password = password;
    pop.Security = startTls ? TlsMode::StartTls : TlsMode::Ssl;
    pop.SetTimeOut(kTimeOutSeconds);
    running_ = &pop;
    bool encrypted = false;
    try {
        pop.ConnectAndLogin();
        encrypted = pop.Encrypted();
        pop.LogoutAndClose();
    } catch (const std::exception&) {
        // Only how far the session got matters here; the reason is not shown.
        encrypted = encrypted || pop.Encrypted();
        pop.Close();
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
