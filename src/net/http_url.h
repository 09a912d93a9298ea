#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sievo {

// The parts of an "http://" or "https://" address.
struct HttpUrl {
    bool secure = false;
    // Host, or host:port.
    std::string server;
    // From the first "/" on; "/" when the address names none.
    std::string path;
    // The last path element when the path holds a dot ("index.html" for a bare folder).
    std::string fileName;
};

// Nothing when the address begins with neither scheme (in any case).
std::optional<HttpUrl> ParseHttpUrl(std::string_view url);

}  // namespace sievo
