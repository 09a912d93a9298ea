#include "engine/blocklist_check.h"

#include <algorithm>
#include <vector>

#include "config/account.h"
#include "config/activity_log.h"
#include "config/text.h"
#include "mail/relay_address.h"
#include "net/dns_resolver.h"
#include "store/rule_store.h"

namespace sievo {

namespace {

bool IsZoneCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
}

std::set<std::string> ZonesOfActiveRules() {
    std::set<std::string> zones;
    for (const RuleRecord& rule : rule_store::LoadAll(RuleDefaults::kEngine)) {
        if (rule.Active && rule.Criteria == "DNSBL" && !BlocklistZone(rule.Value).empty())
            zones.insert(BlocklistZone(rule.Value));
    }
    return zones;
}

// Blocklists answer with an address in 127.0.0.0/8 for a listing (RFC 5782). 127.0.0.1
// is never one, and 127.255.255.0/24 carries errors (a query through a public resolver,
// too many queries); an answer outside 127/8 is an error as well (a resolver that sends
// unknown names to an advertising page).
enum class Verdict { kListed, kNotListed, kError, kUnanswered };

Verdict VerdictOf(const DnsReply& reply) {
    if (reply.status == DnsStatus::kTimedOut)
        return Verdict::kUnanswered;
    if (reply.status == DnsStatus::kFailed)
        return Verdict::kError;
    if (reply.status == DnsStatus::kNoSuchName || reply.addresses.empty())
        return Verdict::kNotListed;
    const auto isListing = [](std::uint32_t address) {
        return address >> 24 == 127 && address != 0x7f000001 && address >> 8 != 0x7fffff;
    };
    return std::any_of(reply.addresses.begin(), reply.addresses.end(), isListing) ? Verdict::kListed
                                                                                  : Verdict::kError;
}

void LogShortfall(const TSievoUser& account, int count, int all, const std::string& what) {
    if (count > 0)
        ActivityLog("DNS blocklists: " + std::to_string(count) + " of " + std::to_string(all) +
                        " lookups " + what + "; those messages count as not listed.",
                    false, &account);
}

}  // namespace

std::string BlocklistZone(std::string_view value) {
    std::string zone = ToLowerAscii(TrimBlanks(value));
    if (!zone.empty() && zone.back() == '.')
        zone.pop_back();
    const bool valid = !zone.empty() && zone.front() != '.' &&
                       zone.find("..") == std::string::npos &&
                       std::all_of(zone.begin(), zone.end(), IsZoneCharacter);
    return valid ? zone : std::string();
}

BlocklistListings::BlocklistListings(const TmsRemoteInfo& items, const TSievoUser& account,
                                     DnsResolver& resolver) {
    const std::set<std::string> zones = ZonesOfActiveRules();
    if (zones.empty())
        return;
    for (int i = 0; i < items.Count(); ++i)
        relays_.push_back(RelayAddress(items[i].Headers));
    std::set<std::string> addresses(relays_.begin(), relays_.end());
    addresses.erase("");
    std::vector<std::string> names;
    for (const std::string& address : addresses)
        for (const std::string& zone : zones)
            names.push_back(BlocklistQueryName(address, zone));
    const std::vector<DnsReply> replies = resolver.LookUpAddresses(names, kLookupDeadline);
    int unanswered = 0;
    int errors = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const Verdict verdict = VerdictOf(replies.at(i));
        unanswered += verdict == Verdict::kUnanswered;
        errors += verdict == Verdict::kError;
        if (verdict == Verdict::kListed)
            listed_.insert(names[i]);
    }
    const int all = static_cast<int>(names.size());
    LogShortfall(
        account, unanswered, all,
        "went unanswered within " + std::to_string(kLookupDeadline.count() / 1000) + " seconds");
    LogShortfall(account, errors, all, "were answered with an error");
}

bool BlocklistListings::Listed(std::string_view zone, int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= relays_.size() || relays_[index].empty())
        return false;
    const std::string normalized = BlocklistZone(zone);
    return !normalized.empty() &&
           listed_.count(BlocklistQueryName(relays_[index], normalized)) != 0;
}

}  // namespace sievo
