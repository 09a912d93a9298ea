#pragma once

#include "engine/command_line.h"

namespace sievo {

// The program without windows: for a single pass one check of every active account, else
// the schedule while auto-check is on, until SIGINT or SIGTERM. Every log line goes to
// standard output. Answers the exit status: 0 when every account was checked without error.
int RunHeadless(const CommandLineRequest& request);

// Writes the rules as a Sieve script to `file` and lists on standard output what the
// script judges differently; 0 when the file was written, else 1 with the reason on
// standard error.
int ExportSieveScript(const std::string& file);

}  // namespace sievo
