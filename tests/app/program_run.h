#pragma once

#include <functional>
#include <map>
#include <string>

class QProcess;

namespace sievo::testing {

struct ProgramRun {
    int exitCode = -1;
    std::string output;  // standard output, then standard error
};

// Runs the program's single pass as cron would: no display, no windows, the caller's
// environment with `changes` applied (an empty value removes the variable). While it
// runs, `meanwhile` may act on it (send it a signal, say).
ProgramRun RunSinglePass(const std::string& program,
                         const std::map<std::string, std::string>& changes,
                         const std::function<void(QProcess&)>& meanwhile = {});

}  // namespace sievo::testing
