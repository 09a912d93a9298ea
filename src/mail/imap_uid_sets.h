#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sievo {

// The UIDs as IMAP message sets ("4:9,12,20:22"), runs of consecutive UIDs written as
// ranges, each set at most `maxChars` long (a longer one is split, so no command line
// grows beyond what servers accept). The order and repeats of `uids` do not matter.
std::vector<std::string> UidSets(std::vector<std::uint32_t> uids, std::size_t maxChars);

// The UIDs of a set such as "4:9,12" in the order written (a range "9:4" counts too);
// parts that are no numbers are left out, and a range never yields more than
// `maxCount` UIDs, so a hostile set cannot take the memory.
std::vector<std::uint32_t> ParseUidSet(const std::string& set, std::size_t maxCount = 1000000);

}  // namespace sievo
