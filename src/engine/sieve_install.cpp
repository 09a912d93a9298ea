#include "engine/sieve_install.h"

#include "config/account.h"
#include "config/activity_log.h"
#include "net/server_address.h"

namespace sievo {

std::string SieveServerOf(const TSievoUser& account) {
    const std::string host = SplitServer(account.POPAddress).host;
    if (account.SieveServer.empty())
        return host;
    if (ParsePort(account.SieveServer))
        return host + ":" + account.SieveServer;
    return account.SieveServer;
}

SieveInstallation::SieveInstallation(const TSievoUser& account) {
    client_.Server = SieveServerOf(account);
    client_.UserName = account.POPUser;
    client_.Password = account.Password;
    // ManageSieve has no port of its own for TLS from the first byte: TLS is STARTTLS.
    const auto security = ParseTlsMode(account.POPSecurity);
    client_.Security = security == TlsMode::None ? TlsMode::None : TlsMode::StartTls;
    client_.AllowPlainTextLogin = security == TlsMode::None && account.POPSecurityExplicit;
    client_.ConnectAndLogin();
    active_ = client_.ActiveScript();
    SieveExportOptions options;
    options.regex = client_.HasExtension("regex");
    if (!account.SpamFolder.empty())
        options.spamFolder = account.SpamFolder;
    script_ = ExportSieve(LoadSieveExportInput(), options);
}

SieveInstallation::~SieveInstallation() {
    try {
        client_.LogoutAndClose();
    } catch (const std::exception& error) {
        ActivityLog(std::string("ManageSieve log-out: ") + error.what(), true);
    }
}

void SieveInstallation::Install() {
    client_.CheckScript(script_.text);
    client_.PutScript(kSieveScriptName, script_.text);
    client_.SetActive(kSieveScriptName);
    ActivityLog("The rules are installed on " + client_.Server + " as \"" + kSieveScriptName +
                "\" and active");
}

}  // namespace sievo
