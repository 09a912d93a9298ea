#include "mail/imap_uid_sets.h"

#include <algorithm>

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

}  // namespace sievo
