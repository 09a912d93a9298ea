#pragma once

#include <chrono>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "mail/remote_info.h"

namespace sievo {

class DnsResolver;
class TSievoUser;

// The zone a DNSBL rule names, as it is asked for: without blanks or a final dot, in lower
// case; empty when the text is no DNS name.
std::string BlocklistZone(std::string_view value);

// The DNS blocklist answers of one check. Before the judging starts, the relay address of
// every listed message is looked up once in every zone that an active DNSBL rule names,
// all at once, so a check of many messages waits about one round trip, not one per
// message. A lookup that is not answered in time, or answered with an error code, counts
// as not listed; the log says so once per check.
class BlocklistListings {
public:
    // Longest wait for one answer.
    static constexpr std::chrono::milliseconds kLookupDeadline{2000};

    // Nothing looked up: nothing is listed.
    BlocklistListings() = default;
    BlocklistListings(const TmsRemoteInfo& items, const TSievoUser& account, DnsResolver& resolver);

    // Whether the relay of the listing's item `index` is listed in `zone`.
    bool Listed(std::string_view zone, int index) const;

private:
    std::vector<std::string> relays_;            // by item; empty when nothing was looked up
    std::set<std::string, std::less<>> listed_;  // the query names answered with a listing
};

}  // namespace sievo
