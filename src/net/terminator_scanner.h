#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sievo {

// Finds the end of a multi-line data block, the line "." (CR LF "." CR LF), in data that
// arrives in pieces of any size, so a terminator split across two reads is still seen.
// The block starts at the beginning of a line, so an empty block (".") ends it at once.
class TerminatorScanner {
public:
    // How many bytes of the piece belong to the block up to the end of its terminator, or
    // nothing when the whole piece belongs to it and the terminator is still to come.
    std::optional<std::size_t> Feed(std::string_view piece);

private:
    // The last bytes seen, as many as a terminator split across pieces could need.
    std::string tail_ = "\r\n";
};

}  // namespace sievo
