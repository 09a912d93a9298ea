#include "mail/imap_uid_sets.h"

#include <algorithm>
#include <string_view>

#include "mail/imap_response.h"

namespace sievo {

std::vector<std::string> UidSets(std::vector<std::uint32_t> uids, std::size_t maxChars) {
    std::sort(uids.begin(), uids.end());
    uids.erase(std::unique(uids.begin(), uids.end()), uids.end());
    std::vector<std::string> sets;
    std::string set;
    for (std::size_t i = 0; i < uids.size();) {
        std::size_t last = i;
        while (last + 1 < uids.size() && uids[last + 1] == uids[last] + 1)
            ++last;
        std::string run = std::to_string(uids[i]);
        if (last > i)
            run += ":" + std::to_string(uids[last]);
        if (!set.empty() && set.size() + 1 + run.size() > maxChars) {
            sets.push_back(std::move(set));
            set.clear();
        }
        set += (set.empty() ? "" : ",") + run;
        i = last + 1;
    }
    if (!set.empty())
        sets.push_back(std::move(set));
    return sets;
}

std::vector<std::uint32_t> ParseUidSet(const std::string& set, std::size_t maxCount) {
    std::vector<std::uint32_t> uids;
    std::size_t start = 0;
    while (start <= set.size()) {
        const std::size_t comma = std::min(set.find(',', start), set.size());
        const std::string_view part = std::string_view(set).substr(start, comma - start);
        const std::size_t colon = part.find(':');
        const auto first = ParseImapNumber(part.substr(0, colon));
        const auto last =
            colon == std::string_view::npos ? first : ParseImapNumber(part.substr(colon + 1));
        if (first && last) {
            const auto [low, high] = std::minmax(*first, *last);
            for (std::uint64_t uid = low; uid <= high && uids.size() < maxCount; ++uid)
                uids.push_back(static_cast<std::uint32_t>(uid));
        }
        start = comma + 1;
    }
    return uids;
}

}  // namespace sievo
