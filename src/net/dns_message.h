#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sievo {

// How a DNS question for A records ended.
enum class DnsStatus {
    kAnswered,    // the name exists; `addresses` holds its A records (perhaps none)
    kNoSuchName,  // NXDOMAIN
    kFailed,      // the server refused or failed (SERVFAIL, REFUSED), or the name is no DNS name
    kTimedOut,    // no answer within the deadline
};

struct DnsReply {
    DnsStatus status = DnsStatus::kTimedOut;
    std::vector<std::uint32_t> addresses;  // IPv4, in host byte order
};

// A query for the A records of `name` (RFC 1035, recursion desired); empty when the name
// cannot be one (an empty label, a label over 63 bytes, over 253 bytes in all).
std::string EncodeAddressQuery(std::uint16_t id, std::string_view name);

// The answer that `datagram` gives to the query `id` for `name`; nothing when the datagram
// is no answer to that query (another id, another question, not a response, cut short).
std::optional<DnsReply> DecodeAddressReply(std::string_view datagram, std::uint16_t id,
                                           std::string_view name);

}  // namespace sievo
