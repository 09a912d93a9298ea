#include "mail/relay_address.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <optional>
#include <vector>

#include "config/text.h"

namespace sievo {

namespace {

// An address in network byte order; an IPv4-mapped IPv6 address counts as IPv4.
struct IpAddress {
    bool v6 = false;
    std::array<std::uint8_t, 16> bytes{};
};

std::optional<IpAddress> ParseAddress(std::string_view text) {
    constexpr std::string_view kV6Prefix = "IPv6:";
    if (text.size() > kV6Prefix.size() && ToUpperAscii(text.substr(0, 5)) == "IPV6:")
        text.remove_prefix(kV6Prefix.size());
    const std::string zeroEnded(text);
    IpAddress address;
    if (inet_pton(AF_INET, zeroEnded.c_str(), address.bytes.data()) == 1)
        return address;
    if (inet_pton(AF_INET6, zeroEnded.c_str(), address.bytes.data()) != 1)
        return std::nullopt;
    constexpr std::array<std::uint8_t, 12> kMapped{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
    if (std::equal(kMapped.begin(), kMapped.end(), address.bytes.begin())) {
        std::copy(address.bytes.begin() + 12, address.bytes.end(), address.bytes.begin());
        return address;
    }
    address.v6 = true;
    return address;
}

// A block of addresses: the first bytes and the number of leading bits that count.
struct Block {
    std::array<std::uint8_t, 4> start;
    int bits;
};

bool InBlock(const IpAddress& address, const Block& block) {
    for (int bit = 0; bit < block.bits; ++bit) {
        const int byte = bit / 8;
        const int mask = 0x80 >> (bit % 8);
        if ((address.bytes[byte] & mask) != (block.start[byte] & mask))
            return false;
    }
    return true;
}

// Addresses never seen on the public Internet: this network, private, shared (carrier
// NAT), loopback, link-local, protocol assignments, documentation, benchmarking,
// multicast and reserved.
constexpr Block kNonPublicV4[] = {
    {{0, 0, 0, 0}, 8},      {{10, 0, 0, 0}, 8},    {{100, 64, 0, 0}, 10},   {{127, 0, 0, 0}, 8},
    {{169, 254, 0, 0}, 16}, {{172, 16, 0, 0}, 12}, {{192, 0, 0, 0}, 24},    {{192, 0, 2, 0}, 24},
    {{192, 168, 0, 0}, 16}, {{198, 18, 0, 0}, 15}, {{198, 51, 100, 0}, 24}, {{203, 0, 113, 0}, 24},
    {{224, 0, 0, 0}, 3},
};
// Unspecified, loopback and the old IPv4-compatible form (::/32), unique local,
// link-local, documentation and multicast.
constexpr Block kNonPublicV6[] = {
    {{0, 0, 0, 0}, 32},       {{0xfc, 0, 0, 0}, 7},
    {{0xfe, 0x80, 0, 0}, 10}, {{0x20, 0x01, 0x0d, 0xb8}, 32},
    {{0xff, 0, 0, 0}, 8},
};

bool IsPublic(const IpAddress& address) {
    const auto outside = [&](const auto& blocks) {
        return std::none_of(std::begin(blocks), std::end(blocks),
                            [&](const Block& block) { return InBlock(address, block); });
    };
    return address.v6 ? outside(kNonPublicV6) : outside(kNonPublicV4);
}

std::string AddressText(const IpAddress& address) {
    std::array<char, INET6_ADDRSTRLEN> text{};
    inet_ntop(address.v6 ? AF_INET6 : AF_INET, address.bytes.data(), text.data(), text.size());
    return text.data();
}

// The words of a Received field's "from" part, up to its "by" (or the date), each marked
// by where it stands: inside parentheses, in square brackets, both or neither.
struct Word {
    std::string text;
    bool bracketed = false;
    bool inParentheses = false;
};

bool EndsFromPart(const std::string& word) {
    const std::string lower = ToLowerAscii(word);
    return lower == "by" || lower == "via" || lower == "with" || lower == "id" || lower == "for";
}

bool IsWordEnd(char c) {
    return c == ' ' || c == '\t' || c == '(' || c == ')' || c == '[' || c == ']' || c == ';';
}

std::vector<Word> FromPartWords(std::string_view field) {
    std::vector<Word> words;
    int depth = 0;
    bool bracketed = false;
    for (std::size_t i = 0; i < field.size();) {
        const char c = field[i];
        if (IsWordEnd(c)) {
            depth += c == '(' ? 1 : c == ')' && depth > 0 ? -1 : 0;
            bracketed = c == '[' || (bracketed && c != ']');
            if (c == ';' && depth == 0)
                break;
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < field.size() && !IsWordEnd(field[i]))
            ++i;
        Word word{std::string(field.substr(start, i - start)), bracketed, depth > 0};
        if (words.empty() ? ToLowerAscii(word.text) != "from"
                          : depth == 0 && EndsFromPart(word.text))
            break;
        words.push_back(std::move(word));
    }
    return words;
}

// The sending host's address in one Received field. Servers write it in square brackets
// inside the parentheses that follow the name the host gave ("from name (rdns
// [203.0.113.5])"); others as the whole name in brackets ("from [203.0.113.5]") or bare in
// parentheses. A bracketed address outside the parentheses may be a name the sender chose,
// so the one inside is preferred.
std::optional<IpAddress> SendingHost(std::string_view field) {
    const std::vector<Word> words = FromPartWords(field);
    const auto first = [&](auto accepts) -> std::optional<IpAddress> {
        for (const Word& word : words)
            if (accepts(word))
                if (auto address = ParseAddress(word.text))
                    return address;
        return std::nullopt;
    };
    if (auto address = first([](const Word& w) { return w.bracketed && w.inParentheses; }))
        return address;
    if (auto address = first([](const Word& w) { return w.bracketed; }))
        return address;
    return first([](const Word& w) { return w.inParentheses; });
}

}  // namespace

std::string RelayAddress(const TmsHeaders& headers) {
    for (const std::string& field : GetRawHeaderFields(headers, "Received")) {
        const std::optional<IpAddress> address = SendingHost(field);
        if (address && IsPublic(*address))
            return AddressText(*address);
    }
    return {};
}

std::string BlocklistQueryName(std::string_view address, std::string_view zone) {
    const std::optional<IpAddress> parsed = ParseAddress(address);
    if (!parsed)
        return {};
    std::string name;
    if (parsed->v6) {
        constexpr char kHex[] = "0123456789abcdef";
        for (auto byte = parsed->bytes.rbegin(); byte != parsed->bytes.rend(); ++byte) {
            name += kHex[*byte & 0x0f];
            name += '.';
            name += kHex[*byte >> 4];
            name += '.';
        }
    } else {
        for (int i = 3; i >= 0; --i)
            name += std::to_string(parsed->bytes[static_cast<std::size_t>(i)]) + ".";
    }
    return name + std::string(zone);
}

}  // namespace sievo
