#include "mail/pop3_replies.h"

#include <charconv>
#include <limits>

namespace sievo {

namespace {

// The longest unique id a UIDL reply may hold (RFC 1939).
constexpr std::size_t kMaxUniqueIdBytes = 70;

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

std::map<int, std::string> NumberedLines(std::string_view block) {
    std::map<int, std::string> lines;
    while (!block.empty()) {
        const auto end = block.find('\n');
        std::string_view line = block.substr(0, end);
        block = end == std::string_view::npos ? std::string_view() : block.substr(end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        const auto blank = line.find(' ');
        if (blank == std::string_view::npos)
            continue;
        const auto number = ParseCount(line.substr(0, blank));
        if (number && *number > 0 && *number <= std::numeric_limits<int>::max())
            lines.emplace(static_cast<int>(*number), UpToBlank(line.substr(blank + 1)));
    }
    return lines;
}

bool ValidUniqueId(std::string_view id) {
    if (id.empty() || id.size() > kMaxUniqueIdBytes)
        return false;
    for (const char c : id) {
        if (c < '!' || c > '~')
            return false;
    }
    return true;
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
