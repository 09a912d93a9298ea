#pragma once

#include <memory>
#include <optional>
#include <string>

namespace sievo {

// Where passwords are kept outside accounts.ini: the desktop's keyring in the program, a
// fake in the tests. Every call but Available raises an Exception when the vault cannot do
// what is asked.
class PasswordVault {
public:
    virtual ~PasswordVault() = default;

    virtual bool Available() = 0;
    // Nothing when the vault holds no entry under `key`.
    virtual std::optional<std::string> Read(const std::string& key) = 0;
    virtual void Write(const std::string& key, const std::string& password) = 0;
    virtual void Remove(const std::string& key) = 0;
};

// The vault the accounts store uses. One keyring serves the desktop session, as one event
// pump serves the program, so the stores reach it without being handed it. None installed
// (or null) means no keyring: the passwords stay in accounts.ini.
void InstallPasswordVault(std::unique_ptr<PasswordVault> vault);
// The installed vault when it is available, else null.
PasswordVault* AvailablePasswordVault();

}  // namespace sievo
