#pragma once

#include <string_view>

#include "mail/header_fields.h"

namespace sievo {

// The methods an AUTHFAIL rule with an empty value looks at.
inline constexpr std::string_view kDefaultAuthMethods = "dmarc";

// True when the Authentication-Results field the user's own server added reports a
// failure (fail, softfail, permerror) of one of `methods` (a comma list such as "spf,
// dkim"; empty means "dmarc") and no pass of that method. Only the topmost field is
// trusted, or the topmost written by `authServId` when the account names one: the fields
// below can be written by the sender.
bool AuthenticationFailed(const TmsHeaders& headers, std::string_view methods,
                          std::string_view authServId);

// True when the user's server marked the message as spam: the topmost X-Spam-Flag says
// YES or X-Spam-Status begins with Yes, or, when `lowestScore` holds a number, the score
// of X-Spam-Score, X-Rspamd-Score or X-Spam-Status is at least that number.
bool MarkedAsSpam(const TmsHeaders& headers, std::string_view lowestScore);

}  // namespace sievo
