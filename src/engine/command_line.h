#pragma once

#include <string>
#include <vector>

namespace sievo {

// The version the about box and --version show.
inline constexpr const char* kProgramVersion = "3.2f";

// What the command line asks for. The first parameter keeps its old rule: its first 11
// characters, in any case, reading "/SINGLEPASS" ask for the single pass, and any other
// first parameter is not understood; later ones are ignored unless they begin with "-".
// The options of a Linux program count wherever they stand: --help (-h), --version,
// --single-pass, --dry-run and --export-sieve FILE.
struct CommandLineRequest {
    bool singlePass = false;
    bool dryRun = false;
    bool help = false;
    bool version = false;
    std::string sieveFile;  // where --export-sieve writes the rules as a Sieve script
    std::string complaint;  // the message for the first parameter that is not understood
};

CommandLineRequest ParseCommandLine(const std::vector<std::string>& parameters);

// What --help prints: usage, options, environment, files and exit statuses.
std::string UsageText();

// What --version prints.
std::string VersionText();

// The exit status for a command line that is not understood, without a display.
inline constexpr int kCommandLineStatus = 2;

}  // namespace sievo
