#include "mail/account_clients.h"

#include "net/tls_settings.h"

namespace sievo {

namespace {

TlsMode SecurityOf(TagSocket& client, const char* key, const std::string& text) {
    const auto mode = ParseTlsMode(text);
    if (!mode)
        client.RaiseError(std::string(key) + " \"" + text + "\" is not NONE, SSL or STARTTLS");
    return *mode;
}

}  // namespace

void ApplyPopAccount(TmsRemotePOP& pop, const TSievoUser& account) {
    pop.Server = account.POPAddress;
    pop.UserName = account.POPUser;
    pop.Password = account.Password;
    pop.Security = SecurityOf(pop, "POPSecurity", account.POPSecurity);
}

void ApplySmtpAccount(TmsSMTP& smtp, const TSievoUser& account) {
    smtp.Server = account.SMTPAddress;
    smtp.UserName = account.SMTPUser;
    smtp.Password = account.SMTPPassword;
    smtp.Security = SecurityOf(smtp, "SMTPSecurity", account.SMTPSecurity);
    smtp.AllowPlainTextAuth = smtp.Security == TlsMode::None && account.SMTPSecurityExplicit;
}

}  // namespace sievo
