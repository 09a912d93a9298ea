#pragma once

#include <string>
#include <string_view>

#include "mail/header_fields.h"

namespace sievo {

// The address of the host that handed the message to the receiving provider, as text
// ("203.0.113.5", "2001:db8::1"): from the Received fields, the topmost first, the first
// address of a "from" part that is routed on the public Internet. Hops inside the
// provider (private, loopback, link-local addresses) and fields without an address are
// passed over. Empty when there is none.
std::string RelayAddress(const TmsHeaders& headers);

// The name under which a DNS blocklist lists the address (RFC 5782): the bytes of an IPv4
// address, or the nibbles of an IPv6 one, in reverse order, then the zone. Empty when the
// address is none.
std::string BlocklistQueryName(std::string_view address, std::string_view zone);

}  // namespace sievo
