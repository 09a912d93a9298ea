#include "net/terminator_scanner.h"

namespace sievo {

namespace {
constexpr std::string_view kTerminator = "\r\n.\r\n";
}

std::optional<std::size_t> TerminatorScanner::Feed(std::string_view piece) {
    std::string window = tail_;
    window.append(piece);
    const auto found = window.find(kTerminator);
    if (found != std::string::npos)
        return found + kTerminator.size() - tail_.size();
    const std::size_t keep = std::min(window.size(), kTerminator.size() - 1);
    tail_ = window.substr(window.size() - keep);
    return std::nullopt;
}

}  // namespace sievo
