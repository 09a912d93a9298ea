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

}  // namespace sievo
