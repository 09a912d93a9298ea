#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sievo {

// `Server` split at its first ":" into the host and the port text (empty when absent).
struct ServerParts {
    std::string host;
    std::string portText;
};
ServerParts SplitServer(std::string_view server);

// A decimal port number from 1 to 65535; nothing for any other text.
std::optional<std::uint16_t> ParsePort(std::string_view text);

// The port of a service name in the system's services table for TCP, if it is there.
std::optional<std::uint16_t> LookUpServicePort(const std::string& service);

}  // namespace sievo
