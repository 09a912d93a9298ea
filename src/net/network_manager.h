#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sievo {

// The result of one run of the network manager's command-line tool.
struct NmcliResult {
    bool ran = false;  // false when the program could not be started or was stopped
    int exitCode = -1;
    std::string output;
    std::string errorText;
};

// Runs NetworkManager's `nmcli`, or the program SIEVOMATIC_NMCLI names (tests use a fake).
class NmcliRunner {
public:
    virtual ~NmcliRunner() = default;

    // Runs with the arguments while pumping events; `stop` is asked on every turn and ends
    // the run early (the process is killed); every output line goes to `onLine`.
    virtual NmcliResult Run(const std::vector<std::string>& arguments,
                            const std::function<bool()>& stop,
                            const std::function<void(const std::string&)>& onLine = {});
};

inline constexpr const char* kNmcliVariable = "SIEVOMATIC_NMCLI";

// Splits one line of nmcli's terse output at its unescaped ":" and removes the escapes.
std::vector<std::string> SplitTerseLine(const std::string& line);

}  // namespace sievo
