#pragma once

#include <optional>
#include <string>

#include "engine/sieve_export.h"
#include "mail/ms_manage_sieve.h"

namespace sievo {

class TSievoUser;

// The name the rules are installed under on a server.
inline constexpr const char* kSieveScriptName = "sievomatic";

// The account's ManageSieve server: its SieveServer key (a host, a host and port, or a
// port alone), else the incoming server's host; port 4190 unless named.
std::string SieveServerOf(const TSievoUser& account);

// A ManageSieve session with the account's server, logged in for its whole life: first
// what is active there, then the rules installed and made active in its place.
class SieveInstallation {
public:
    explicit SieveInstallation(const TSievoUser& account);
    ~SieveInstallation();
    SieveInstallation(const SieveInstallation&) = delete;
    SieveInstallation& operator=(const SieveInstallation&) = delete;

    // The name of the script active on the server; nothing when none is.
    const std::optional<std::string>& ActiveScript() const { return active_; }
    // The rules of the data folder as this server can run them.
    const SieveScript& Script() const { return script_; }
    // Checks, stores and activates the script; the server's refusal raises with its text.
    void Install();

private:
    TmsManageSieve client_;
    std::optional<std::string> active_;
    SieveScript script_;
};

}  // namespace sievo
