#pragma once

#include "config/account.h"
#include "mail/ms_remote_pop.h"
#include "mail/ms_smtp.h"

namespace sievo {

// Sets the client's server, log-in and TLS from the account. An unknown security text
// raises (after OnError) instead of falling back to a plain connection.
void ApplyPopAccount(TmsRemotePOP& pop, const TSievoUser& account);
void ApplySmtpAccount(TmsSMTP& smtp, const TSievoUser& account);

}  // namespace sievo
