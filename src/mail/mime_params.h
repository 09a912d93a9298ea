#pragma once

#include <string>
#include <string_view>

namespace sievo {

// The value of the parameter paramName ("boundary", "name", "charset") in a MIME field
// value, with its quotes removed; empty when the parameter is absent.
std::string GetHeaderParam(std::string_view paramName, std::string_view value);

// The value up to the first blank or semicolon: the bare type of a Content-Type value.
std::string FirstToken(std::string_view value);

// The word after the first n blank-separated words, or empty when the text runs out.
std::string GetWord(std::string_view text, int n);

// GetWord as a number, or -1 when it is none.
long long GetWordAsInt(std::string_view text, int n);

// The MIME type of a file, judged by its extension; "application/octet-stream" when the
// extension is unknown or missing.
std::string ContentTypeForFile(std::string_view fileName);

}  // namespace sievo
