#include "mail/mail_address.h"

#include "config/text.h"
#include "mail/mail_errors.h"
#include "mail/mail_limits.h"

namespace sievo {

namespace {

std::string ShortText(std::string_view text) {
    return std::string(Utf8Truncate(text, mail_limits::kShortText));
}

// "Name <address>": the bracketed part is the address, the rest the name.
std::optional<TmsMailAddress> ParseAngleAddress(std::string_view text, std::size_t open) {
    const std::size_t close = text.find('>');
    if (close == std::string_view::npos || close < open)
        return std::nullopt;
    const std::string name =
        std::string(text.substr(0, open)) + std::string(text.substr(close + 1));
    return TmsMailAddress(StripQuotes(text.substr(open + 1, close - open - 1)), StripQuotes(name));
}

// "address (Name)": the comment is the name.
TmsMailAddress ParseCommentAddress(std::string_view text, std::size_t open) {
    std::string_view comment = TrimBlanks(text.substr(open + 1));
    if (!comment.empty() && comment.back() == ')')
        comment.remove_suffix(1);
    return TmsMailAddress(StripQuotes(text.substr(0, open)), StripQuotes(comment));
}

}  // namespace

TmsMailAddress::TmsMailAddress(std::string_view address, std::string_view name)
    : name_(ShortText(name)), address_(ShortText(address)) {}

void TmsMailAddress::SetName(std::string_view name) {
    name_ = ShortText(name);
}
void TmsMailAddress::SetAddress(std::string_view address) {
    address_ = ShortText(address);
}

std::optional<TmsMailAddress> TryParseAddress(std::string_view text) {
    if (const std::size_t open = text.find('<'); open != std::string_view::npos) {
        return ParseAngleAddress(text, open);
    }
    if (const std::size_t paren = text.find('('); paren != std::string_view::npos) {
        return ParseCommentAddress(text, paren);
    }
    return TmsMailAddress(text, "");
}

void ParseAddress(std::string_view text, TmsMailAddress& address) {
    std::optional<TmsMailAddress> parsed = TryParseAddress(text);
    if (!parsed)
        throw Exception(mail_texts::kUnparsableAddress);
    address = std::move(*parsed);
}

std::pair<std::string, std::string> SplitAddress(std::string_view text) {
    TmsMailAddress address;
    ParseAddress(text, address);
    return {address.Address(), address.Name()};
}

std::string StripQuotes(std::string_view text) {
    std::string_view rest = TrimBlanks(text);
    while (!rest.empty() && rest.front() == '"')
        rest.remove_prefix(1);
    while (!rest.empty() && rest.back() == '"')
        rest.remove_suffix(1);
    return std::string(rest);
}

}  // namespace sievo
