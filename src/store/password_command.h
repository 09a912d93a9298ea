#pragma once

#include <chrono>
#include <string>

namespace sievo {

// How long a password command may take before it counts as failed.
inline constexpr std::chrono::seconds kPasswordCommandDeadline{10};

// Runs `command` through /bin/sh and answers the first line of what it prints. A command
// that does not end within the deadline, ends with a non-zero status or prints nothing
// raises an Exception naming `account`. Neither its output nor its errors are logged.
std::string RunPasswordCommand(const std::string& command, const std::string& account,
                               std::chrono::milliseconds deadline = kPasswordCommandDeadline);

}  // namespace sievo
