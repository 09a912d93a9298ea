#include "engine/server_signals.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "config/text.h"
#include "mail/authentication_results.h"

namespace sievo {

namespace {

std::vector<std::string> MethodNames(std::string_view methods) {
    std::vector<std::string> names;
    for (std::string_view rest = methods; !rest.empty();) {
        const std::size_t comma = std::min(rest.find(','), rest.size());
        const std::string_view name = TrimBlanks(rest.substr(0, comma));
        if (!name.empty())
            names.push_back(ToLowerAscii(name));
        rest.remove_prefix(std::min(comma + 1, rest.size()));
    }
    if (names.empty())
        names.emplace_back(kDefaultAuthMethods);
    return names;
}

bool IsFailure(const std::string& result) {
    return result == "fail" || result == "softfail" || result == "permerror";
}

// A message signed twice whose second signature broke on the way (a mailing list's
// footer) still passes DKIM: one pass of a method outweighs its failures.
bool MethodFailed(const AuthenticationResults& field, const std::string& method) {
    bool failed = false;
    for (const MethodResult& result : field.results) {
        if (result.method != method)
            continue;
        if (result.result == "pass")
            return false;
        failed = failed || IsFailure(result.result);
    }
    return failed;
}

std::optional<AuthenticationResults> TrustedField(const TmsHeaders& headers,
                                                  std::string_view authServId) {
    const std::string wanted = ToLowerAscii(TrimBlanks(authServId));
    for (const std::string& value : GetRawHeaderFields(headers, "Authentication-Results")) {
        AuthenticationResults field = ParseAuthenticationResults(value);
        if (wanted.empty() || ToLowerAscii(field.authservId) == wanted)
            return field;
    }
    return std::nullopt;
}

// A number at the start of the text, read the same in every locale ("-1.5", "+7", "6,5"
// as typed in a rule); nothing when it does not start with one.
std::optional<double> LeadingNumber(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    std::string number(text.substr(0, std::min(text.find_first_of(" \t;("), text.size())));
    std::replace(number.begin(), number.end(), ',', '.');
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end == number.data())
        return std::nullopt;
    return value;
}

std::string TopmostField(const TmsHeaders& headers, std::string_view name) {
    std::vector<std::string> values = GetRawHeaderFields(headers, name);
    return values.empty() ? std::string() : std::move(values.front());
}

// "Yes, score=7.1 required=5.0 tests=..." as SpamAssassin writes it.
bool StatusSaysYes(const std::string& status) {
    const std::string_view first = std::string_view(status).substr(0, status.find_first_of(", \t"));
    return ToLowerAscii(first) == "yes";
}

std::optional<double> StatusScore(const std::string& status) {
    const std::string lower = ToLowerAscii(status);
    const std::size_t score = lower.find("score=");
    if (score == std::string::npos)
        return std::nullopt;
    return LeadingNumber(std::string_view(status).substr(score + 6));
}

}  // namespace

bool AuthenticationFailed(const TmsHeaders& headers, std::string_view methods,
                          std::string_view authServId) {
    const std::optional<AuthenticationResults> field = TrustedField(headers, authServId);
    if (!field)
        return false;
    const std::vector<std::string> names = MethodNames(methods);
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& name) { return MethodFailed(*field, name); });
}

bool MarkedAsSpam(const TmsHeaders& headers, std::string_view lowestScore) {
    const std::string status = TopmostField(headers, "X-Spam-Status");
    if (ToLowerAscii(TrimBlanks(TopmostField(headers, "X-Spam-Flag"))) == "yes" ||
        StatusSaysYes(status))
        return true;
    const std::optional<double> threshold = LeadingNumber(lowestScore);
    if (!threshold)
        return false;
    const std::optional<double> scores[] = {LeadingNumber(TopmostField(headers, "X-Spam-Score")),
                                            LeadingNumber(TopmostField(headers, "X-Rspamd-Score")),
                                            StatusScore(status)};
    return std::any_of(
        std::begin(scores), std::end(scores),
        [&](const std::optional<double>& score) { return score && *score >= *threshold; });
}

}  // namespace sievo
