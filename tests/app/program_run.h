#pragma once

#include <functional>
#include <map>
#include <string>

#include <QStringList>

class QProcess;

namespace sievo::testing {

struct ProgramRun {
    int exitCode = -1;   // -1 when a signal it did not catch ended it (SIGKILL)
    std::string output;  // standard output, then standard error
};

// Runs the program with these arguments as cron would: no display, no windows, the
// caller's environment with `changes` applied (an empty value removes the variable). While
// it runs, `meanwhile` may act on it (send it a signal, say). `inChild` runs in the new
// process before the program starts (to set a resource limit, say).
ProgramRun RunProgram(const std::string& program, const QStringList& arguments,
                      const std::map<std::string, std::string>& changes,
                      const std::function<void(QProcess&)>& meanwhile = {},
                      const std::function<void()>& inChild = {});

}  // namespace sievo::testing
