#include "net/server_address.h"

#include <netdb.h>
#include <netinet/in.h>

#include <array>
#include <charconv>

namespace sievo {

namespace {
// Room for one entry of the services table with its aliases.
constexpr std::size_t kServiceEntryBufferBytes = 1024;
constexpr unsigned kMaxPort = 65535;
}  // namespace

ServerParts SplitServer(std::string_view server) {
    const auto colon = server.find(':');
    if (colon == std::string_view::npos)
        return {std::string(server), {}};
    return {std::string(server.substr(0, colon)), std::string(server.substr(colon + 1))};
}

std::optional<std::uint16_t> ParsePort(std::string_view text) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [next, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || next != end || value < 1 || value > kMaxPort) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

std::optional<std::uint16_t> LookUpServicePort(const std::string& service) {
    servent entry{};
    servent* result = nullptr;
    std::array<char, kServiceEntryBufferBytes> buffer{};
    if (getservbyname_r(service.c_str(), "tcp", &entry, buffer.data(), buffer.size(), &result) !=
            0 ||
        result == nullptr) {
        return std::nullopt;
    }
    return ntohs(static_cast<std::uint16_t>(result->s_port));
}

}  // namespace sievo
