#pragma once

#include <string>
#include <vector>

namespace sievo {

// What the command line asks for. Only the first parameter counts: its first 11
// characters, in any case, must read "/SINGLEPASS".
struct CommandLineRequest {
    bool singlePass = false;
    std::string complaint;  // the message for a parameter that is not understood
};

CommandLineRequest ParseCommandLine(const std::vector<std::string>& parameters);

}  // namespace sievo
