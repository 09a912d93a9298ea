#pragma once

#include <string>
#include <vector>

namespace sievo {

// The program without windows: with "/SINGLEPASS" one check of every active account, else
// the schedule while auto-check is on, until SIGINT or SIGTERM. Every log line goes to
// standard output. Answers the exit status: 0 when every account was checked without error.
int RunHeadless(const std::vector<std::string>& parameters);

}  // namespace sievo
