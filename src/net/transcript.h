#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sievo {

// The lines sent and received on one connection, kept while a log file name is set and
// written to that file when the socket ends.
class Transcript {
public:
    // Replaces any secret in a logged line, so the log never holds a password.
    static constexpr std::string_view kSecretMask = "********";

    std::string fileName;

    bool Enabled() const { return !fileName.empty(); }
    void Add(std::string_view line);
    // The file is replaced; false when it cannot be written.
    bool Save() const;

private:
    std::vector<std::string> lines_;
};

}  // namespace sievo
