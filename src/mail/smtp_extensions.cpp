#include "mail/smtp_extensions.h"

#include <QByteArray>
#include <algorithm>
#include <sstream>

#include "config/text.h"

namespace sievo {

namespace {

// "250-" or "250 " before the text of every reply line.
constexpr std::size_t kReplyPrefixBytes = 4;

bool Contains(const std::vector<std::string>& words, std::string_view word) {
    const std::string wanted = ToUpperAscii(std::string(word));
    return std::find(words.begin(), words.end(), wanted) != words.end();
}

}  // namespace

SmtpCapabilities SmtpCapabilities::FromEhloReply(const std::vector<std::string>& lines) {
    SmtpCapabilities capabilities;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].size() <= kReplyPrefixBytes)
            continue;
        std::istringstream words(ToUpperAscii(lines[i].substr(kReplyPrefixBytes)));
        std::string keyword;
        words >> keyword;
        capabilities.keywords_.push_back(keyword);
        if (keyword != "AUTH")
            continue;
        for (std::string mechanism; words >> mechanism;)
            capabilities.authMechanisms_.push_back(mechanism);
    }
    return capabilities;
}

bool SmtpCapabilities::Has(std::string_view keyword) const {
    return Contains(keywords_, keyword);
}

bool SmtpCapabilities::HasAuth(std::string_view mechanism) const {
    return Contains(authMechanisms_, mechanism);
}

std::string Base64(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size())).toBase64().toStdString();
}

std::string AuthPlainResponse(std::string_view user, std::string_view password) {
    std::string response(1, '\0');
    response.append(user).append(1, '\0').append(password);
    return Base64(response);
}

}  // namespace sievo
