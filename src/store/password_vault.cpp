#include "store/password_vault.h"

namespace sievo {

namespace {

std::unique_ptr<PasswordVault>& Installed() {
    static std::unique_ptr<PasswordVault> vault;
    return vault;
}

}  // namespace

void InstallPasswordVault(std::unique_ptr<PasswordVault> vault) {
    Installed() = std::move(vault);
}

PasswordVault* AvailablePasswordVault() {
    PasswordVault* vault = Installed().get();
    return vault && vault->Available() ? vault : nullptr;
}

}  // namespace sievo
