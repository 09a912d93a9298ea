#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sievo {

// One "method=result" of an Authentication-Results field, both in lower case; a method's
// version ("dkim/1") is dropped.
struct MethodResult {
    std::string method;
    std::string result;
};

// What one Authentication-Results field (RFC 8601) says: who wrote it (empty when the
// field names no one) and the result of each method it reports, in order. Reasons and
// properties are not kept.
struct AuthenticationResults {
    std::string authservId;
    std::vector<MethodResult> results;
};

// Reads the value of one Authentication-Results field. Comments (nested ones too) are
// dropped and quoted strings unquoted; a part that is no "method=result" is skipped, so any
// text gives an answer.
AuthenticationResults ParseAuthenticationResults(std::string_view value);

}  // namespace sievo
