#include "engine/command_line.h"

#include <algorithm>
#include <utility>

#include "config/text.h"

namespace sievo {

namespace {

const std::string kSinglePassSwitch = "/SINGLEPASS";
const std::string kExportSieveOption = "--export-sieve";

using Flag = bool CommandLineRequest::*;

const std::pair<std::string_view, Flag> kOptions[] = {
    {"--help", &CommandLineRequest::help},       {"-h", &CommandLineRequest::help},
    {"--version", &CommandLineRequest::version}, {"--single-pass", &CommandLineRequest::singlePass},
    {"--dry-run", &CommandLineRequest::dryRun},
};

bool IsSinglePassSwitch(const std::string& parameter) {
    return ToUpperAscii(parameter.substr(0, kSinglePassSwitch.size())) == kSinglePassSwitch;
}

}  // namespace

CommandLineRequest ParseCommandLine(const std::vector<std::string>& parameters) {
    CommandLineRequest request;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const std::string& parameter = parameters[i];
        const auto option =
            std::find_if(std::begin(kOptions), std::end(kOptions),
                         [&](const auto& known) { return known.first == parameter; });
        if (option != std::end(kOptions))
            request.*(option->second) = true;
        else if (parameter == kExportSieveOption && i + 1 < parameters.size())
            request.sieveFile = parameters[++i];
        else if (parameter == kExportSieveOption && request.complaint.empty())
            request.complaint = "Command-line option \"" + parameter + "\" needs a file name";
        else if (i == 0 && IsSinglePassSwitch(parameter))
            request.singlePass = true;
        else if ((i == 0 || parameter.starts_with('-')) && request.complaint.empty())
            request.complaint = "Command-line option \"" + parameter + "\" not understood";
    }
    return request;
}

std::string UsageText() {
    return R"(Usage: sievomatic [OPTION]...
Deletes unwanted mail from POP3 mailboxes by your rules before your mail program
downloads it. With a display it lives in the system tray; without one it checks each
account on its schedule while auto-check is on, until SIGINT or SIGTERM.

Options:
  /SINGLEPASS, --single-pass  check every active account once, then end
  --dry-run                   judge and log as usual, but delete, send and move
                              nothing and leave the check times alone
  --export-sieve FILE         write the rules as a Sieve script for a mail server
                              to FILE, list what it cannot do, and end
  -h, --help                  show this help and end
  --version                   show the version and end

Environment:
  SIEVOMATIC_HOME             the data folder (see Files)
  SIEVOMATIC_DRY_RUN=1        every check is a dry run, as with --dry-run
  SIEVOMATIC_HEADLESS=1       no windows even on a desktop (0: windows without one)
  SIEVOMATIC_CA_FILE          a PEM file of further certificate authorities to trust
  SIEVOMATIC_NMCLI            the program run in place of nmcli
  DISPLAY, WAYLAND_DISPLAY    either one set: the program runs with windows

Files:
  The data folder is $SIEVOMATIC_HOME when set, else the program's own folder when it
  holds settings.ini, else $XDG_DATA_HOME/sievomatic (~/.local/share/sievomatic). It
  holds settings.ini, accounts.ini (the mail accounts, added by the tray program's
  welcome wizard or written by hand), rules.ini, friends.lst, sievo.lst and logfile.txt.

Exit status:
  0      every account was checked without error, or there was nothing to do
  1      an account could not be checked, or a file could not be read or written
         (with --export-sieve: the script could not be written)
  2      a command-line option was not understood (without a display)
  128+N  stopped by signal N: 130 for Ctrl+C, 143 for SIGTERM
)";
}

std::string VersionText() {
    return std::string("Sievomatic ") + kProgramVersion + "\n";
}

}  // namespace sievo
