#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sievo {

// What a server announced in its reply to EHLO: the extension keywords and the AUTH
// mechanisms, compared without regard to case.
class SmtpCapabilities {
public:
    // From the reply lines ("250-STARTTLS", "250 AUTH PLAIN LOGIN"); the first line is the
    // greeting and names no extension.
    static SmtpCapabilities FromEhloReply(const std::vector<std::string>& lines);

    bool Has(std::string_view keyword) const;
    bool HasAuth(std::string_view mechanism) const;

private:
    std::vector<std::string> keywords_;
    std::vector<std::string> authMechanisms_;
};

std::string Base64(std::string_view text);

// The initial response of AUTH PLAIN: no authorization identity, the user, the password.
std::string AuthPlainResponse(std::string_view user, std::string_view password);

}  // namespace sievo
