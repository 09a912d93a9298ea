#include "app/private_data.h"

#include "config/activity_log.h"
#include "config/data_folder.h"
#include "store/accounts_store.h"
#include "store/password_vault.h"

namespace sievo {

namespace {

void Reporting(void (*step)()) {
    try {
        step();
    } catch (const std::exception& error) {
        AppException(error);
    }
}

void KeepPasswordsSafe() {
    // Whatever reads the accounts next (the pass, a window) reports a damaged file, once.
    if (accounts::FileDamaged())
        return;
    if (!AvailablePasswordVault()) {
        if (accounts::AnyPasswordInFile())
            ActivityLog(
                "Passwords are kept in accounts.ini, scrambled, not encrypted: no keyring is "
                "available");
        return;
    }
    if (const int moved = accounts::MovePasswordsToKeyring(); moved > 0)
        ActivityLog("The passwords of " + std::to_string(moved) +
                    " account(s) moved from accounts.ini into the keyring");
}

}  // namespace

void KeepDataPrivate() {
    Reporting([] {
        if (const std::string line = TightenProgramFolder(); !line.empty())
            ActivityLog(line);
    });
    Reporting(KeepPasswordsSafe);
}

}  // namespace sievo
