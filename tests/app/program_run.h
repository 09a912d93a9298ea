#pragma once

#include <map>
#include <string>

namespace sievo::testing {

struct ProgramRun {
    int exitCode = -1;
    std::string output;  // standard output, then standard error
};

// Runs the program's single pass as cron would: no display, no windows, the caller's
// environment with `changes` applied (an empty value removes the variable).
ProgramRun RunSinglePass(const std::string& program,
                         const std::map<std::string, std::string>& changes);

}  // namespace sievo::testing
