#include "mail/pop3_replies.h"

#include <charconv>

namespace sievo {

namespace {

// "+OK " comes before the fields of a positive reply.
constexpr std::size_t kStatusWordBytes = 4;

std::string_view AfterStatusWord(std::string_view reply) {
    return reply.size() > kStatusWordBytes ? reply.substr(kStatusWordBytes) : std::string_view();
}

std::string_view UpToBlank(std::string_view text) {
    return text.substr(0, text.find(' '));
}

}  // namespace

std::optional<StatFields> SplitStatReply(std::string_view reply) {
    const std::string_view fields = AfterStatusWord(reply);
    const auto blank = fields.find(' ');
    if (blank == std::string_view::npos)
        return std::nullopt;
    return StatFields{std::string(fields.substr(0, blank)),
                      std::string(UpToBlank(fields.substr(blank + 1)))};
}

qint64 ListReplySize(std::string_view reply) {
    const std::string_view fields = AfterStatusWord(reply);
    const auto blank = fields.find(' ');
    if (blank == std::string_view::npos)
        return 0;
    return ParseCount(UpToBlank(fields.substr(blank + 1))).value_or(0);
}

std::optional<qint64> ParseCount(std::string_view text) {
    qint64 value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < 0)
        return std::nullopt;
    return value;
}

}  // namespace sievo
