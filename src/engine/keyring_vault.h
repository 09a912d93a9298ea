#pragma once

#include <optional>
#include <string>

#include "store/password_vault.h"

namespace sievo {

// The desktop's keyring (the Secret Service: GNOME Keyring, KWallet, KeePassXC) through
// QtKeychain, under the service name "sievomatic". It counts as available while the session
// bus answers and its default collection is unlocked: the program never waits on an unlock
// prompt that nobody may see. That is asked anew each time, so a keyring unlocked after the
// program started counts from then on. Each call waits at most kKeyringSeconds, letting
// events run.
class KeyringVault : public PasswordVault {
public:
    static constexpr int kKeyringSeconds = 10;

    bool Available() override;
    std::optional<std::string> Read(const std::string& key) override;
    void Write(const std::string& key, const std::string& password) override;
    void Remove(const std::string& key) override;
};

// Hands the desktop's keyring to the accounts store, before any window may save a password.
void InstallDesktopKeyring();

}  // namespace sievo
